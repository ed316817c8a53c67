// The program as it starts: every window created and wired by the program
// entry, on a folder of sample tests. Each command of the main window and of
// the graph window reaches the window or output that carries it.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/main_form.h"
#include "app/port_library.h"
#include "app/shell_state.h"
#include "chart/chart.h"
#include "graph/graf.h"
#include "graph/graph_parameters.h"
#include "graph/graph_state.h"
#include "graph/graph_worker.h"
#include "lib/sample_tests.h"
#include "main/forms.h"
#include "online/receive.h"
#include "output/printing.h"
#include "series/series_loader.h"
#include "series/series_window.h"
#include "support/test_support.h"
#include "ui/colour_box.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/grid.h"

using namespace lekta;
using lekta::testing::TempDir;

namespace {

class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell().reset();
        graph_state().reset();
        port_library().reset();
        for (const auto& t : tools::demo_tests()) {
            if (t.name == "S12-001.bmd" || t.name == "S19-001.bmd" || t.name == "S18-001.bmd") {
                ASSERT_TRUE(tools::write_bmd(tests.file(t.name), t.test));
            }
        }
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path()));
        QSettings s(QString::fromStdString(config.path()) + "/Veltrask/LEKTA.conf",
                    QSettings::IniFormat);
        s.setValue("1.0/WorkDir", QString::fromStdString(tests.path()) + "/");
        s.setValue("1.0/Default_dir", QString::fromStdString(out.path()));
        s.sync();
        ui::set_error_dialogs(&dialogs);
        forms = create_forms(dialogs, false);
        forms.Form1->show();
    }
    void TearDown() override
    {
        MY::stop_running();
        series::SeriesLoader::stop_running();
        delete forms.Form1;
        ui::reset_error_display();
        port_library().reset();
        graph_state().reset();
        shell().reset();
    }
    int row_of(const QString& name) const
    {
        for (int r = 0; r < forms.Form1->NextGrid1->RowCount(); ++r)
            if (forms.Form1->NextGrid1->Cell(0, r) == name)
                return r;
        return -1;
    }
    // Opens a row as a double-click does and runs `shown` while the graph
    // window is up; false when it never came up.
    bool open(const QString& name, const std::function<void()>& shown)
    {
        forms.Form1->NextGrid1->SelectRow(row_of(name));
        bool was_shown = false;
        QTimer poll;
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!forms.Form3->isVisible())
                return;
            poll.stop();
            was_shown = true;
            shown();
            forms.Form3->N7->trigger();  // "Выход"
        });
        poll.start();
        forms.Form1->NextGrid1DblClick();
        EXPECT_TRUE(lekta::testing::wait_until(
            [] { return !MY::running() || MY::running()->isFinished(); }, 20000));
        return was_shown;
    }
    QString out_file(const char* name) const { return QString::fromStdString(out.file(name)); }

    TempDir config, tests, out;
    ui::ScriptedDialogs dialogs;
    Forms forms;
};

}  // namespace

TEST_F(Program, CatalogueCommandsReachThePrinterTheWorkbookAndTheGraphWindow)
{
    ASSERT_EQ(forms.Form1->NextGrid1->RowCount(), 3);

    dialogs.answer_path(out_file("catalogue.pdf"));
    forms.Form1->N9->trigger();  // "Печать"
    EXPECT_TRUE(QFileInfo(out_file("catalogue.pdf")).size() > 1000);

    forms.Form1->Excel1->trigger();  // "Экспорт в Excel"
    EXPECT_TRUE(QFileInfo::exists(out_file("ЛЕКТА-ЗИВ8.xlsx")));

    // The graph window's own commands: picture, print, export.
    QPrinter& printer = output::printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out_file("chart.pdf"));
    QSize chart_size;
    ASSERT_TRUE(open("S19-001.bmd", [&] {
        EXPECT_TRUE(forms.Form3->windowTitle().startsWith("ЛЕКТА "));
        chart_size = forms.Form3->Chart1->size();
        dialogs.answer_path(out_file("chart.png"));
        forms.Form3->N5->trigger();
        forms.Form3->Gt1->trigger();
        forms.Form3->N3->trigger();
    }));
    EXPECT_EQ(QImage(out_file("chart.png")).size(), chart_size);
    EXPECT_TRUE(QFileInfo(out_file("chart.pdf")).size() > 1000);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_TRUE(QFileInfo::exists(out_file("ЛЕКТА-ЗИВ8 (2).xlsx")))
        << "the curve export never replaces a workbook";
    EXPECT_TRUE(forms.Form1->NextGrid1->isEnabled());

    // A test without a curve says so and opens nothing.
    dialogs.clear();
    EXPECT_FALSE(open("S18-001.bmd", [] {}));
    EXPECT_TRUE(dialogs.texts().contains("Испытание не имеет график"));

    // The online window's picture and print, and the parameters dialog
    // reaching both chart windows.
    dialogs.answer_path(out_file("live"));
    forms.Form2->N5->trigger();
    EXPECT_TRUE(QFileInfo::exists(out_file("live.jpg")));
    EXPECT_EQ(dialogs.shown().back().initial_dir, shell().default_dir);
    EXPECT_FALSE(shell().default_dir.isEmpty());
    printer.setOutputFileName(out_file("live.pdf"));
    forms.Form2->Gt1->trigger();
    EXPECT_TRUE(QFileInfo(out_file("live.pdf")).size() > 1000);
    forms.Form11->FormShow();
    forms.Form11->ComboBox1->setEditText("2");
    forms.Form11->ColorBox1->SetSelected(0x008000);
    forms.Form11->Button2Click();
    EXPECT_EQ(forms.Form2->Series1->LineWidth(), 2);
    EXPECT_EQ(forms.Form2->Series1->Color(), 0x008000);
    EXPECT_EQ(forms.Form3->Series1->LineWidth(), 2);
    EXPECT_EQ(shell().line_width, "2");

    for (const QString& t : dialogs.texts())
        EXPECT_FALSE(t.contains("rror")) << t.toStdString();
}

TEST_F(Program, TheSeriesCommandOpensASeriesWindowWhoseExportAndPrintStoreTheirFiles)
{
    forms.Form1->NextGrid1->SelectRow(row_of("S12-001.bmd"));
    forms.Form1->NextGrid1->selectionModel()->select(
        forms.Form1->NextGrid1->model()->index(row_of("S19-001.bmd"), 0),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    forms.Form1->N42->trigger();  // "Построение графиков" with two rows selected
    EXPECT_TRUE(lekta::testing::wait_until([] { return !series::SeriesLoader::running(); }, 20000));
    TForm12* window = nullptr;
    EXPECT_TRUE(lekta::testing::wait_until(
        [&] {
            return (window = forms.Form1->findChild<TForm12*>()) != nullptr && window->isVisible();
        },
        5000));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Tests().size(), 2u);
    window->Button1->click();  // "Экспорт"
    EXPECT_TRUE(QFileInfo::exists(out_file("Серии 12 19 испытаний 2.xlsx")));
    dialogs.answer_path(out_file("series.pdf"));
    window->Button2->click();  // "Печать"
    EXPECT_GT(QFileInfo(out_file("series.pdf")).size(), 1000);
    for (const QString& t : dialogs.texts())
        EXPECT_FALSE(t.contains("rror")) << t.toStdString();
    window->close();
}
