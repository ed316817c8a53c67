#include "ui/qt_translations.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTranslator>

namespace lekta::ui {

namespace {

// Owned by the application object, so it goes when the application goes.
QPointer<QTranslator>& installed()
{
    static QPointer<QTranslator> translator;
    return translator;
}

}  // namespace

bool load_qt_translations(const QLocale& locale, const QString& folder)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return false;
    delete installed().data();  // removes itself from the application

    auto* translator = new QTranslator(app);
    for (const char* catalogue : {"qtbase", "qt"}) {
        if (translator->load(locale, QString::fromLatin1(catalogue), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            installed() = translator;
            return true;
        }
    }
    delete translator;
    return false;
}

}  // namespace lekta::ui
