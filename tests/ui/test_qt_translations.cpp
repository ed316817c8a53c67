// Qt's own texts follow the operator's language; the program's own texts do
// not change with it.
#include "support/test_support.h"
#include "ui/dialogs.h"
#include "ui/qt_translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace lekta;

namespace {

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

QString standard_text(QDialogButtonBox::StandardButton which)
{
    QDialogButtonBox box(which);
    return box.button(which)->text();
}

QStringList button_texts(const QWidget& w)
{
    QStringList out;
    for (const QPushButton* b : w.findChildren<QPushButton*>())
        out << b->text();
    return out;
}

// Back to Qt's built-in English for the tests that follow.
class QtTranslations : public ::testing::Test {
protected:
    void TearDown() override
    {
        ui::load_qt_translations(QLocale::c(), QString::fromStdString(empty.path()));
    }
    lekta::testing::TempDir empty;
};

}  // namespace

TEST_F(QtTranslations, RussianSettingsPutTheStandardButtonsAndDialogsInRussian)
{
    ASSERT_TRUE(ui::load_qt_translations(kRussian))
        << "Qt's Russian catalogue is missing (qt6-translations-l10n)";
    EXPECT_EQ(standard_text(QDialogButtonBox::Cancel), "Отмена");
    EXPECT_EQ(standard_text(QDialogButtonBox::Yes), "&Да");
    EXPECT_EQ(standard_text(QDialogButtonBox::No), "&Нет");

    QMessageBox question(QMessageBox::Question, "t", "x", QMessageBox::Yes | QMessageBox::Cancel);
    EXPECT_EQ(question.button(QMessageBox::Cancel)->text(), "Отмена");

    // Qt's own folder dialog, as the desktop without a native one shows it.
    QFileDialog folder(nullptr, "Выберите каталог", "/");
    folder.setOption(QFileDialog::DontUseNativeDialog);
    folder.setFileMode(QFileDialog::Directory);
    folder.setOption(QFileDialog::ShowDirsOnly);
    EXPECT_TRUE(button_texts(folder).contains("Отмена"))
        << button_texts(folder).join("|").toStdString();
}

// A second call replaces the first catalogue instead of stacking on it, and a
// language without one leaves Qt's English.
TEST_F(QtTranslations, ALaterLanguageReplacesTheEarlierCatalogue)
{
    ASSERT_TRUE(ui::load_qt_translations(kRussian));
    ui::load_qt_translations(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(standard_text(QDialogButtonBox::Cancel), "Cancel");

    ASSERT_TRUE(ui::load_qt_translations(kRussian));
    EXPECT_FALSE(ui::load_qt_translations(kRussian, QString::fromStdString(empty.path())));
    EXPECT_EQ(standard_text(QDialogButtonBox::Cancel), "Cancel");

    // Loading the same language again leaves one catalogue, still Russian.
    ASSERT_TRUE(ui::load_qt_translations(kRussian));
    ASSERT_TRUE(ui::load_qt_translations(kRussian));
    EXPECT_EQ(standard_text(QDialogButtonBox::Cancel), "Отмена");
}

// The "Ошибка открытия" question names its buttons "&Yes" and "&No" itself:
// they stay so under Russian settings, and the answer still counts.
TEST_F(QtTranslations, TheProgramsOwnCaptionsStayAsWritten)
{
    ASSERT_TRUE(ui::load_qt_translations(kRussian));
    ui::QtDialogs dialogs;
    QString title;
    QStringList captions;
    bool seen = false;
    std::function<void()> answer = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, answer);
            return;
        }
        seen = true;
        title = box->windowTitle();
        for (QAbstractButton* b : box->buttons())
            captions << b->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == "&No")
                b->click();
    };
    QTimer::singleShot(0, answer);
    const bool skip = ui::ask_warning_yes_no(dialogs,
                                             "Ошибка открытия /tmp/a.bmd\rПропустить файл?");
    ASSERT_TRUE(seen);
    EXPECT_FALSE(skip);
    EXPECT_EQ(title, "Warning");
    captions.sort();
    EXPECT_EQ(captions, (QStringList{"&No", "&Yes"}));
}

// Run by CTest once more with LANG and LC_ALL set to Russian: the default
// arguments, as the program calls it, follow the user's settings.
TEST_F(QtTranslations, UnderTheUsersRussianSettings)
{
    if (QLocale::system().language() != QLocale::Russian)
        GTEST_SKIP() << "the settings are not Russian";
    ASSERT_TRUE(ui::load_qt_translations());
    EXPECT_EQ(standard_text(QDialogButtonBox::Cancel), "Отмена");
}
