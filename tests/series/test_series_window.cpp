// The series command from the main window, as the program wires it: the
// selector, the loader with its progress window, the series window with
// its views, picked-out curve and table, and its export and print. With
// LEKTA_SAVE_PICTURES set to a folder the windows' pictures are stored there.
#include "chart/chart.h"
#include "graph/open_progress.h"
#include "graph/radio_group.h"
#include "lib/bmd_writer.h"
#include "lib/sample_tests.h"
#include "output/series_export.h"
#include "output/series_print.h"
#include "output/xlsx_reader.h"
#include "series/series_command.h"
#include "series/series_loader.h"
#include "series/series_selector.h"
#include "series/series_window.h"
#include "support/main_window_fixture.h"

#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QPrinter>
#include <QTableWidget>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace lekta::testing {
namespace {

class SeriesWindowTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        for (const tools::NamedTest& t : tools::demo_series_tests())
            write_file(tests.file(t.name), tools::encode_bmd(t.test));
        for (const tools::NamedTest& t : tools::demo_tests())
            if (t.name == "S17-001.bmd" || t.name == "S18-002.bmd" || t.name == "S19-001.bmd")
                write_file(tests.file(t.name), tools::encode_bmd(t.test));
    }
    void TearDown() override
    {
        series::SeriesLoader::stop_running();
        MainWindowFixture::TearDown();
    }
    std::string default_dir() const override { return out.path(); }

    void create()
    {
        create_main();
        selector = new TForm4(main.get());
        progress = new TForm7(main.get());
        main->commands.series = [this] {
            series::run_series_command(
                {main.get(), selector, progress, &dialogs, [this](TForm12& w) { window = &w; }});
        };
        show_main();
    }

    // Runs the command; `in_selector` acts in the selector while it is up.
    // Returns the series window once the loader has ended (null if none opened).
    TForm12* run(const std::function<void()>& in_selector = {})
    {
        window = nullptr;
        QTimer poll;
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!selector->isVisible())
                return;
            poll.stop();
            if (in_selector)
                in_selector();
            else
                selector->reject();
        });
        poll.start();
        main->N42Click();
        EXPECT_TRUE(wait_until([] { return !series::SeriesLoader::running(); }, 30000));
        pump_events(10);
        return window;
    }

    void choose_series(int number)
    {
        for (int i = 0; i < selector->ListBox1->count(); ++i)
            if (selector->ListBox1->item(i)->data(Qt::UserRole).toInt() == number)
                selector->ListBox1->item(i)->setSelected(true);
        selector->Button1Click();
    }

    void picture(QWidget& w, const char* name)
    {
        const QString folder = qEnvironmentVariable("LEKTA_SAVE_PICTURES");
        if (!folder.isEmpty())
            w.grab().toImage().save(folder + "/" + name);
    }

    TempDir out;
    TForm4* selector = nullptr;
    TForm7* progress = nullptr;
    TForm12* window = nullptr;
};

TEST_F(SeriesWindowTest, TheSelectorListsTheSeriesAndBuildsTheChosenOne)
{
    create();
    ASSERT_TRUE(main->N42->isEnabled());
    EXPECT_EQ(main->N42->text(), "Построение графиков");
    QStringList listed;
    TForm12* w = run([&] {
        EXPECT_EQ(selector->windowTitle(), "Построение графиков");
        EXPECT_FALSE(selector->CheckBox1->isVisible());
        for (int i = 0; i < selector->ListBox1->count(); ++i)
            listed << selector->ListBox1->item(i)->text();
        selector->resize(320, 360);
        picture(*selector, "series-dialog.png");
        choose_series(22);
    });
    EXPECT_EQ(listed, (QStringList{"Серия 17 — кривых: 1 из 1", "Серия 18 — кривых: 0 из 1",
                                   "Серия 19 — кривых: 1 из 1", "Серия 22 — кривых: 6 из 6"}));
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(shell().buffer_busy);
    EXPECT_TRUE(main->N3->isEnabled());
    ASSERT_EQ(w->Tests().size(), 6u);
    EXPECT_EQ(w->ListBox1->count(), 6);
    EXPECT_EQ(w->ListBox1->item(2)->text(), "Серия-22 №-3");
    EXPECT_EQ(w->TitleText(), "Серия 22, испытаний: 6");
    // Every curve in a colour of its own, the first in the graph's load colour.
    std::set<std::int32_t> colours;
    for (int i = 0; i < 6; ++i)
        colours.insert(w->Chart1->Series(i)->Color());
    EXPECT_EQ(colours.size(), 6u);
    EXPECT_EQ(w->Chart1->Series(0)->Color(), shell().color_f);
    // Six test rows, then the six statistics.
    EXPECT_EQ(w->NextGrid1->rowCount(), 12);
    EXPECT_EQ(w->NextGrid1->item(6, 0)->text(), "Среднее");
    EXPECT_EQ(w->NextGrid1->item(11, 0)->text(), "n");

    // Views: F(H e) in kN, then the stresses.
    w->setWindowState(Qt::WindowNoState);
    w->setGeometry(0, 0, 1280, 860);
    pump_events(20);
    w->Chart1->Repaint();
    picture(*w, "series-window.png");
    w->RadioGroup1->SetItemIndex(1);
    EXPECT_EQ(w->View().deformation, series::Deformation::Extension);
    EXPECT_EQ(w->Chart1->BottomAxis().Title(), "H Δe, мм");
    EXPECT_DOUBLE_EQ(w->Chart1->Series(0)->XValue(10), w->Tests()[0].extension[10].x);
    w->Chart1->Repaint();
    picture(*w, "series-window-fhe.png");
    w->CheckBox1->setChecked(true);
    EXPECT_EQ(w->Chart1->LeftAxis().Title(), "σ, МПа");
    EXPECT_NEAR(w->Chart1->Series(1)->YValue(10),
                w->Tests()[1].extension[10].y * 1000 / w->Tests()[1].area_mm2, 1e-9);
    w->RadioGroup1->SetItemIndex(0);
    // A legend entry picks its curve out, and its table row with it.
    w->ListBox1->setCurrentRow(4);
    EXPECT_EQ(w->Highlighted(), 4);
    EXPECT_GT(w->Chart1->Series(4)->LineWidth(), w->Chart1->Series(0)->LineWidth());
    EXPECT_EQ(w->NextGrid1->currentRow(), 4);
    w->Chart1->Repaint();
    picture(*w, "series-window-stress.png");
    // A table row does the same; a statistics row picks nothing.
    w->NextGrid1->setCurrentCell(1, 0);
    EXPECT_EQ(w->Highlighted(), 1);
    EXPECT_EQ(w->ListBox1->currentRow(), 1);
    w->NextGrid1->setCurrentCell(8, 0);
    EXPECT_EQ(w->Highlighted(), -1);
    w->NextGrid1->resize(1280, 340);
    picture(*w->NextGrid1, "series-table.png");
    w->close();
}

TEST_F(SeriesWindowTest, SelectedRowsAreTakenAsTheyAreAndBadOnesListedWithTheirReason)
{
    create();
    // A file damaged after the catalogue listed it.
    std::vector<unsigned char> bytes = tools::encode_bmd(tools::demo_series_tests()[1].test);
    bytes.resize(40);
    write_file(tests.file("S22-002.bmd"), bytes);
    main->NextGrid1->SelectRow(row_of("S22-001.bmd"));
    for (const char* name : {"S22-002.bmd", "S17-001.bmd", "S18-002.bmd", "S19-001.bmd"})
        main->NextGrid1->selectionModel()->select(main->NextGrid1->model()->index(row_of(name), 0),
                                                  QItemSelectionModel::Select |
                                                      QItemSelectionModel::Rows);
    ASSERT_EQ(main->NextGrid1->SelectedRows().size(), 5);
    TForm12* w = run();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->Tests().size(), 2u);  // S22-001 and the extensometer test of series 19
    EXPECT_EQ(w->TitleText(), "Серии 19, 22, испытаний: 2");
    const series::SeriesTable& t = w->Table();
    ASSERT_EQ(t.rows.size(), 5u);
    std::map<std::string, std::string> notes;
    for (const auto& r : t.rows)
        notes[r.file] = r.note;
    EXPECT_EQ(notes["S22-002.bmd"], "файл повреждён");
    EXPECT_EQ(notes["S17-001.bmd"], "испытание на сжатие");
    EXPECT_EQ(notes["S18-002.bmd"], "испытание без графика");
    EXPECT_EQ(notes["S22-001.bmd"], "");
    for (const auto& s : t.statistics)
        EXPECT_LE(s.n, 2u);
    w->close();
}

TEST_F(SeriesWindowTest, AnEmptyChoiceSaysSoAndOpensNothing)
{
    create();
    TForm12* w = run([&] {
        selector->Button1Click();  // nothing selected: a message, the selector stays
        EXPECT_TRUE(selector->isVisible());
        selector->reject();
    });
    EXPECT_EQ(w, nullptr);
    EXPECT_TRUE(dialogs.texts().join("|").contains("Не выбрана ни одна серия"))
        << dialogs.texts().join("|").toStdString();
    // Only tests without a curve chosen: nothing to draw, and it says so.
    main->NextGrid1->SelectRow(row_of("S18-002.bmd"));
    main->NextGrid1->selectionModel()->select(
        main->NextGrid1->model()->index(row_of("S17-001.bmd"), 0),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    dialogs.clear();
    EXPECT_EQ(run(), nullptr);
    EXPECT_TRUE(dialogs.texts().join("|").contains("не имеет графика"))
        << dialogs.texts().join("|").toStdString();
    EXPECT_FALSE(shell().buffer_busy);
}

TEST_F(SeriesWindowTest, ExportAndPrintNeverReplaceAFile)
{
    create();
    TForm12* w = run([&] { choose_series(22); });
    ASSERT_NE(w, nullptr);
    std::vector<std::int32_t> colours;
    for (int i = 0; i < 6; ++i)
        colours.push_back(w->Chart1->Series(i)->Color());
    const output::SeriesExportSource source{w->Table(), w->Tests(), w->View(), w->TitleText(),
                                            colours};
    const output::ApplicationOptions options{QString::fromStdString(out.path()), nullptr, {}};
    const QString first = output::export_series(source, options);
    const QString second = output::export_series(source, options);
    EXPECT_TRUE(first.endsWith("/Серия 22 испытаний 6.xlsx")) << first.toStdString();
    EXPECT_TRUE(second.endsWith("/Серия 22 испытаний 6 (2).xlsx")) << second.toStdString();
    // The table and its statistics as numbers, one scatter series per curve with a legend.
    const XlsxFile book = read_xlsx(first.toStdString());
    const XlsxSheet* sheet = book.sheet("Серия");
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->cell(4, 1)->string, "Серия-22 №-1");
    std::size_t rm = 0;
    while (w->Table().columns[rm].caption != "Rm, МПа")
        ++rm;
    const int stats_row = 4 + 6 + 1;  // after the six tests and an empty row
    EXPECT_EQ(sheet->cell(stats_row, 1)->string, "Среднее");
    EXPECT_NEAR(sheet->cell(stats_row, static_cast<int>(rm) + 3)->number,
                *w->Table().statistic(series::Statistic::Mean, rm), 0.0006);
    EXPECT_EQ(sheet->cell(stats_row + 5, 1)->string, "n");
    EXPECT_EQ(sheet->cell(stats_row + 5, static_cast<int>(rm) + 3)->number, 6);
    const XlsxSheet* chart = book.sheet("Диаграмма");
    ASSERT_TRUE(chart && chart->chart);
    EXPECT_EQ(chart->chart->series.size(), 6u);
    EXPECT_TRUE(chart->chart->legend);
    EXPECT_NE(chart->chart->series[0].x_ref,
              chart->chart->series[1].x_ref);  // each curve its own abscissas

    const QString pdf = QString::fromStdString(out.file("report.pdf"));
    write_file(pdf.toStdString(), {'k', 'e', 'e', 'p'});
    QPrinter printer(QPrinter::HighResolution);
    dialogs.answer_path(pdf);
    const QString written = output::print_series(*w, dialogs, printer);
    EXPECT_EQ(written, QString::fromStdString(out.file("report (2).pdf")));
    EXPECT_EQ(read_file(pdf.toStdString()), (std::vector<unsigned char>{'k', 'e', 'e', 'p'}));
    EXPECT_GT(QFileInfo(written).size(), 5000);
    EXPECT_TRUE(dialogs.texts().join("|").contains("report (2).pdf"));
    // Nothing printed when the dialog is cancelled.
    EXPECT_EQ(output::print_series(*w, dialogs, printer), QString());
    w->close();
}

TEST_F(SeriesWindowTest, TenCurvesInBothViewsEachInItsOwnColour)
{
    // Four more bars of the demo series' steel, as a batch of ten.
    for (int i = 7; i <= 10; ++i) {
        tools::SampleSpecimen s;
        s.kind = tools::SampleKind::Extensometer;
        s.material = tools::Material::Steel09G2S;
        s.size1_mm = 10 + 0.01 * (i - 8);
        s.points = 900;
        s.series = 22;
        s.test_no = static_cast<std::uint8_t>(i);
        s.seed = 2200u + static_cast<unsigned>(i);
        s.vary_material = true;
        const std::string name = (i < 10 ? "S22-00" : "S22-0") + std::to_string(i) + ".bmd";
        write_file(tests.file(name), tools::encode_bmd(tools::synthesize_test(s)));
    }
    create();
    TForm12* w = run([&] { choose_series(22); });
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->Tests().size(), 10u);
    std::set<std::int32_t> colours;
    for (int i = 0; i < 10; ++i)
        colours.insert(w->Chart1->Series(i)->Color());
    EXPECT_EQ(colours.size(), 10u);
    w->setWindowState(Qt::WindowNoState);
    w->setGeometry(0, 0, 1280, 900);
    pump_events(20);
    w->Chart1->Repaint();
    picture(*w, "series-window-10.png");
    w->RadioGroup1->SetItemIndex(1);
    w->Chart1->Repaint();
    picture(*w, "series-window-10-fhe.png");
    // The report of ten tests, for the help page's picture.
    const QString folder = qEnvironmentVariable("LEKTA_SAVE_PICTURES");
    if (!folder.isEmpty()) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder + "/series-report.pdf");
        EXPECT_GE(output::print_series_report(*w, printer), 1);
        std::vector<std::int32_t> c(colours.begin(), colours.end());
        for (int i = 0; i < 10; ++i)
            c[static_cast<std::size_t>(i)] = w->Chart1->Series(i)->Color();
        output::export_series({w->Table(), w->Tests(), w->View(), w->TitleText(), c},
                              {folder, nullptr, {}});
    }
    w->close();
}

TEST(SeriesExport, ThinnedCurvesKeepTheirEndsAndPeak)
{
    std::vector<ui::ChartPoint> pts;
    for (int i = 0; i < 10007; ++i)
        pts.push_back({i * 0.01, i == 5003 ? 99.0 : std::sin(i * 0.001)});
    const auto thin = output::export_points(pts, 2000);
    EXPECT_LE(thin.size(), 2000u);
    EXPECT_GT(thin.size(), 1900u);
    EXPECT_EQ(thin.front(), pts.front());
    EXPECT_EQ(thin.back(), pts.back());
    EXPECT_NE(std::find(thin.begin(), thin.end(), pts[5003]), thin.end());
    EXPECT_EQ(
        output::export_points(std::vector<ui::ChartPoint>(pts.begin(), pts.begin() + 50), 2000)
            .size(),
        50u);
}

}  // namespace
}  // namespace lekta::testing
