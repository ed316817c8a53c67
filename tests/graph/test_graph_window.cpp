// Opening tests from the catalogue into the graph window through the loader
// thread: what the window shows for each kind of test, the view switch, the
// markers, the refusals while the loader holds the test buffer and the
// failures that stop it.
#include "chart/chart.h"
#include "chart/chart_view.h"
#include "graph/radio_group.h"
#include "graph_fixture.h"
#include "testfile/buffer.h"
#include "testfile/fields.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>

using namespace lekta;
using lekta::testing::RawTest;

namespace {

class GraphWindow : public lekta::testing::GraphFixture {
protected:
    lekta::testing::ScopedSeparator comma{","};

    // A tension test on a 10 mm bar of a 200 kN frame, one point with a
    // negative load.
    static RawTest standard()
    {
        RawTest t;
        t.model = 2;
        t.series = 12;
        t.test_no = 3;
        t.points = {{0, 0, 0}, {15000, 500, 0}, {-300, 900, 0}, {41500, 1500, 0}, {52250, 6400, 0}};
        t.yield_load = 40125;
        t.tensile_strength = 600000;
        return t;
    }
    // An extensometer test on a 500 kN frame; negative loads at both ends.
    static RawTest extensometer()
    {
        RawTest t;
        t.mode = 2;
        t.model = 4;
        t.series = 19;
        t.test_no = 1;
        t.points = {{-200, 0, 0},
                    {20000, 800, 1500},
                    {38000, 2000, 4200},
                    {45000, 5200, 9800},
                    {-100, 6000, 10400}};
        t.yield_load = 36500;
        t.proof_load = 37250;
        return t;
    }
    static std::vector<ui::ChartPoint> points_of(const ui::ChartSeries& s) { return s.Points(); }
};

}  // namespace

// A standard test, an extensometer test, then a standard test again after
// the operator left the extensometer test in its F(H e) view.
TEST_F(GraphWindow, StandardAndExtensometerTestsOpenedInTurn)
{
    put("a.bmd", standard());
    put("b.bmd", extensometer());
    RawTest c = standard();
    c.series = 13;
    c.points = {{1000, 100, 0}, {2000, 300, 0}};
    put("c.bmd", c);
    create();
    ASSERT_TRUE(shell().line_width.isEmpty());

    ASSERT_TRUE(open("a.bmd", [&] {
        EXPECT_EQ(graph->windowTitle(), "ЛЕКТА 200-ЗИВ8");
        EXPECT_TRUE(graph->windowState() & Qt::WindowMaximized);
        EXPECT_FALSE(progress->isVisible());

        const ui::Grid& t = *graph->NextGrid1;
        ASSERT_EQ(t.RowCount(), 5);
        EXPECT_EQ(t.Cell(0, 1), "15");
        EXPECT_EQ(t.Cell(1, 1), "0,5");
        EXPECT_EQ(t.Cell(0, 2), "-0,3");
        EXPECT_EQ(t.Cell(0, 4), "52,25");
        EXPECT_EQ(t.Cell(1, 4), "6,4");
        EXPECT_FALSE(t.ColumnVisible(2));
        EXPECT_TRUE(graph->RadioGroup1->isHidden());

        // The negative load keeps its row but not its place on the curve.
        EXPECT_EQ(points_of(*graph->Series1),
                  (std::vector<ui::ChartPoint>{{0, 0}, {0.5, 15}, {1.5, 41.5}, {6.4, 52.25}}));
        EXPECT_EQ(points_of(*graph->Series2),
                  (std::vector<ui::ChartPoint>{{0, 40.125}, {6.4, 40.125}}));
        EXPECT_FALSE(graph->Series3->Active());
        EXPECT_FALSE(graph->Series4->Active());
        EXPECT_EQ(graph->Series4->Count(), 0);  // no F0.2 in this layout

        EXPECT_EQ(graph->Chart1->Title().Lines(),
                  QStringList{"Серия-12 №-3 Круг-d 10 мм.  Ft=40,125 кН."});
        EXPECT_EQ(graph->Chart1->LeftAxis().Title(), "F, кН");
        EXPECT_EQ(graph->Chart1->BottomAxis().Title(), "Δ ,мм ");
        // Standard tests keep the automatic range: exactly the data's.
        EXPECT_TRUE(graph->Chart1->BottomAxis().Automatic());
        EXPECT_EQ(graph->Chart1->BottomAxis().Maximum(), 6.4);
        EXPECT_EQ(graph->Chart1->LeftAxis().Maximum(), 52.25);

        // No width stored yet: 3, and the setting now says so.
        EXPECT_EQ(shell().line_width, "3");
        EXPECT_EQ(graph->Series1->LineWidth(), 3);
        EXPECT_EQ(graph->Series1->Color(), 255);
        EXPECT_EQ(graph->Series2->Color(), 16711680);
        EXPECT_DOUBLE_EQ(graph_state().Ft, 40.125);
    }));
    // The catalogue is back once the window was up.
    EXPECT_TRUE(main->NextGrid1->isEnabled());
    EXPECT_FALSE(shell().buffer_busy);
    EXPECT_TRUE(main->N4->isEnabled());

    ASSERT_TRUE(open("b.bmd", [&] {
        EXPECT_EQ(graph->windowTitle(), "ЛЕКТА 500-ЗИВ8");
        const ui::Grid& t = *graph->NextGrid1;
        ASSERT_EQ(t.RowCount(), 5);
        EXPECT_TRUE(t.ColumnVisible(2));
        EXPECT_EQ(t.Cell(2, 3), "0,98");
        EXPECT_FALSE(graph->RadioGroup1->isHidden());
        EXPECT_EQ(graph->RadioGroup1->ItemIndex(), 0);
        EXPECT_TRUE(graph->Series1->Active());
        EXPECT_FALSE(graph->Series3->Active());

        EXPECT_EQ(points_of(*graph->Series1),
                  (std::vector<ui::ChartPoint>{{0.8, 20}, {2, 38}, {5.2, 45}}));
        EXPECT_EQ(points_of(*graph->Series3),
                  (std::vector<ui::ChartPoint>{
                      {0, -0.2}, {0.15, 20}, {0.42, 38}, {0.98, 45}, {1.04, -0.1}}));
        EXPECT_EQ(points_of(*graph->Series2),
                  (std::vector<ui::ChartPoint>{{0.8, 36.5}, {5.2, 36.5}}));
        EXPECT_EQ(points_of(*graph->Series4),
                  (std::vector<ui::ChartPoint>{{0, 37.25}, {1.04, 37.25}}));
        EXPECT_EQ(graph->Chart1->Title().Lines(),
                  QStringList{"Серия-19 №-1 Круг-d 10 мм.  Ft=36,5 кН."});

        // Widened by 5 % of the F(H) curve's largest X and Y.
        const ui::ChartAxis& bottom = graph->Chart1->BottomAxis();
        const ui::ChartAxis& left = graph->Chart1->LeftAxis();
        EXPECT_DOUBLE_EQ(bottom.Minimum(), 0.8);
        EXPECT_DOUBLE_EQ(bottom.Maximum(), 5.2 + 5.2 / 100 * 5);
        EXPECT_DOUBLE_EQ(left.Maximum(), 45 + 45.0 / 100 * 5);
        EXPECT_DOUBLE_EQ(left.Minimum(), 20 - 45.0 / 100 * 5);

        graph->RadioGroup1->Button(1)->click();
        EXPECT_EQ(graph->RadioGroup1->ItemIndex(), 1);
        EXPECT_FALSE(graph->Series1->Active());
        EXPECT_TRUE(graph->Series4->Active());
        EXPECT_EQ(left.Title(), "N,кН");
        EXPECT_EQ(bottom.Title(), "H Δe,мм");
        EXPECT_DOUBLE_EQ(bottom.Minimum(), 0);
        EXPECT_DOUBLE_EQ(bottom.Maximum(), 1.04 * 1.2);
        EXPECT_DOUBLE_EQ(left.Minimum(), -0.2 - 45 * 0.2);
        EXPECT_DOUBLE_EQ(left.Maximum(), 45 * 1.2);
        EXPECT_DOUBLE_EQ(graph_state().Ft, 36.5);
    }));

    ASSERT_TRUE(open("c.bmd", [&] {
        EXPECT_EQ(graph->NextGrid1->RowCount(), 2);
        EXPECT_EQ(graph->NextGrid1->Cell(0, 1), "2");
        EXPECT_FALSE(graph->NextGrid1->ColumnVisible(2));
        EXPECT_TRUE(graph->RadioGroup1->isHidden());
        EXPECT_EQ(graph->RadioGroup1->ItemIndex(), 0);
        EXPECT_TRUE(graph->Series1->Active());
        EXPECT_TRUE(graph->Series2->Active());
        EXPECT_FALSE(graph->Series3->Active());
        EXPECT_EQ(points_of(*graph->Series1), (std::vector<ui::ChartPoint>{{0.1, 1}, {0.3, 2}}));
        EXPECT_EQ(points_of(*graph->Series2),
                  (std::vector<ui::ChartPoint>{{0.1, 40.125}, {0.3, 40.125}}));
        // The titles the last switch set stay.
        EXPECT_EQ(graph->Chart1->LeftAxis().Title(), "N,кН");
        EXPECT_EQ(graph->Chart1->BottomAxis().Title(), "H Δ, мм");
        EXPECT_TRUE(graph->Chart1->BottomAxis().Automatic());
    }));
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join("\n").toStdString();
}

// No points: an empty table and empty curves, the lines from X = 0 to 0; a
// compression test has no Fт: its title and curve without an Ft line.
TEST_F(GraphWindow, NoPointsAndNoYieldLoad)
{
    RawTest empty = extensometer();
    empty.points.clear();
    put("empty.bmd", empty);
    RawTest compression = standard();
    compression.mode = 1;
    put("compression.bmd", compression);
    create();
    ASSERT_TRUE(cell(11, "compression.bmd").isEmpty());

    ASSERT_TRUE(open("empty.bmd", [&] {
        EXPECT_EQ(graph->NextGrid1->RowCount(), 0);
        EXPECT_EQ(graph->Series1->Count(), 0);
        EXPECT_EQ(graph->Series3->Count(), 0);
        EXPECT_EQ(points_of(*graph->Series2), (std::vector<ui::ChartPoint>{{0, 36.5}, {0, 36.5}}));
        EXPECT_EQ(points_of(*graph->Series4),
                  (std::vector<ui::ChartPoint>{{0, 37.25}, {0, 37.25}}));
        graph->RadioGroup1->SetItemIndex(1);  // no error on an empty curve
    }));
    ASSERT_TRUE(open("compression.bmd", [&] {
        EXPECT_EQ(graph->Chart1->Title().Lines(),
                  QStringList{"Серия-12 №-3 Круг-d 10 мм.  Ft= кН."});
        EXPECT_EQ(graph->Series1->Count(), 4);
        EXPECT_EQ(graph->Series2->Count(), 0);
        EXPECT_EQ(graph->ft_level(), std::nullopt);
        EXPECT_EQ(graph->title_line(), "Серия-12 №-3 Круг-d 10 мм.  Ft= кН.");
    }));
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join("\n").toStdString();
}

// F(H e): the increment is the bottom maximum ÷ 10 rounded halves to even,
// the guards add an increment to a range without extent, and F(H) starts
// again from its curve's own range.
TEST_F(GraphWindow, ViewSwitchArithmetic)
{
    ui::Grid catalogue;
    for (int c = 0; c < 17; ++c)
        catalogue.AddColumn({});
    catalogue.AddRow();
    catalogue.SetCell(11, 0, "30");
    catalogue.SetCell(15, 0, "31,5");
    shell().opened_row = 0;
    shell().line_width = "2";
    TForm3 w;
    w.set_catalogue(&catalogue);
    auto load = [&](std::vector<ui::ChartPoint> travel, std::vector<ui::ChartPoint> extension) {
        LoadedCurve c;
        c.extensometer = true;
        c.travel = std::move(travel);
        c.extension = std::move(extension);
        w.ShowCurve(c);
        w.FormShow();
    };
    ui::ChartAxis& bottom = w.Chart1->BottomAxis();
    ui::ChartAxis& left = w.Chart1->LeftAxis();

    load({{1, 0}, {20, 50}}, {{0.5, -1}, {2.5, 50}});
    EXPECT_EQ(w.Series1->LineWidth(), 2);
    EXPECT_DOUBLE_EQ(bottom.Maximum(), 21);
    w.RadioGroup1->SetItemIndex(1);
    EXPECT_EQ(bottom.Increment(), 2);  // 21 ÷ 10 = 2.1
    EXPECT_DOUBLE_EQ(w.Bmax, 2.75);
    EXPECT_DOUBLE_EQ(w.Bmin, 0.5);
    EXPECT_DOUBLE_EQ(w.Lmax, 55);
    EXPECT_DOUBLE_EQ(w.Lmin, -6);
    EXPECT_DOUBLE_EQ(bottom.Minimum(), 0.5);
    EXPECT_DOUBLE_EQ(bottom.Maximum(), 3);
    EXPECT_DOUBLE_EQ(left.Minimum(), -11);
    EXPECT_DOUBLE_EQ(left.Maximum(), 60);

    w.RadioGroup1->SetItemIndex(0);
    EXPECT_EQ(bottom.Increment(), 1);
    EXPECT_DOUBLE_EQ(bottom.Minimum(), 1);
    EXPECT_DOUBLE_EQ(bottom.Maximum(), 21);
    EXPECT_DOUBLE_EQ(left.Minimum(), -2.5);
    EXPECT_DOUBLE_EQ(left.Maximum(), 52.5);

    for (auto [maximum, increment] : {std::pair{25.0, 2.0}, {35.0, 4.0}, {34.9, 3.0}}) {
        bottom.SetMaximum(maximum);
        w.RadioGroup1->SetItemIndex(1);
        EXPECT_EQ(bottom.Increment(), increment) << maximum;
        w.RadioGroup1->SetItemIndex(0);
    }

    // Every extensometer reading 0 and every load 0: the bottom range gets
    // the increment (42 ÷ 10 → 4), the left one nothing to add.
    load({{1, 0}, {40, 0}}, {{0, 0}, {0, 0}});
    w.RadioGroup1->SetItemIndex(1);
    EXPECT_DOUBLE_EQ(w.Bmax, 4);
    EXPECT_DOUBLE_EQ(bottom.Minimum(), 0);
    EXPECT_DOUBLE_EQ(bottom.Maximum(), 4);
    EXPECT_DOUBLE_EQ(left.Minimum(), 0);
    EXPECT_DOUBLE_EQ(left.Maximum(), 0);
    // Showing the next test puts the window back into F(H).
    w.FormShow();
    EXPECT_EQ(w.RadioGroup1->ItemIndex(), 0);
    EXPECT_TRUE(w.Series1->Active());
    EXPECT_FALSE(w.Series3->Active());
}

// A loader that stops on a range error closes the progress window, enables
// the catalogue again and shows the error; the graph window stays hidden.
TEST_F(GraphWindow, ALoaderThatFailsGivesTheCatalogueBack)
{
    RawTest model = standard();
    model.model = 5;
    put("model.bmd", model);
    RawTest count = standard();
    count.point_count = 100000;
    put("count.bmd", count);
    put("short.bmd", standard());
    create();
    ASSERT_EQ(main->NextGrid1->RowCount(), 3);
    // Cut down after the catalogue listed it.
    lekta::testing::write_file(tests.file("short.bmd"), std::vector<unsigned char>(12, 0));

    for (const char* name : {"model.bmd", "count.bmd", "short.bmd"}) {
        dialogs.clear();
        EXPECT_FALSE(open(name)) << name;
        EXPECT_EQ(dialogs.texts(), QStringList{"Range check error"}) << name;
        EXPECT_FALSE(progress->isVisible());
        EXPECT_TRUE(main->NextGrid1->isEnabled());
        EXPECT_FALSE(shell().buffer_busy);
        EXPECT_TRUE(main->N4->isEnabled());
    }
    // And the next test opens as usual.
    dialogs.clear();
    lekta::testing::write_file(tests.file("short.bmd"), standard().bytes());
    EXPECT_TRUE(open("short.bmd"));
    EXPECT_TRUE(dialogs.shown().empty());
}

// From the double-click until the loader handed the test to the window,
// nothing may refill the test buffer: a second open, "Открыть каталог",
// "Обновить", deleting and the parameters dialog are refused.
TEST_F(GraphWindow, TheBufferIsNotRefilledWhileTheLoaderReadsIt)
{
    RawTest a = standard();
    a.series = 1;
    RawTest b = standard();
    b.series = 2;
    put("a.bmd", a);
    put("b.bmd", b);
    create();
    main->NextGrid1->SelectRow(row_of("a.bmd"));
    // No event is handled meanwhile: the loader waits for its first hand-over.
    main->NextGrid1DblClick();
    MY* loader = MY::running();
    ASSERT_TRUE(loader);
    EXPECT_TRUE(shell().buffer_busy);
    EXPECT_FALSE(main->NextGrid1->isEnabled());
    EXPECT_FALSE(main->N4->isEnabled());
    EXPECT_FALSE(main->N36->isEnabled());

    put("d.bmd", standard());
    main->NextGrid1->SelectRow(row_of("b.bmd"));
    main->NextGrid1DblClick();
    main->N4Click();
    main->N3Click();
    main->N34Click();
    main->N41Click();
    EXPECT_EQ(MY::running(), loader);
    EXPECT_EQ(read_byte(kSeries), 1);
    EXPECT_EQ(main->NextGrid1->RowCount(), 2);
    EXPECT_EQ(shell().opened_row, row_of("a.bmd"));
    EXPECT_TRUE(dialogs.shown().empty());

    QTimer close_when_shown;
    close_when_shown.setInterval(1);
    QObject::connect(&close_when_shown, &QTimer::timeout, [&] {
        if (graph->isVisible())
            graph->close();
    });
    close_when_shown.start();
    ASSERT_TRUE(lekta::testing::wait_until(loader_done, 20000));
    EXPECT_EQ(graph->Chart1->Title().Lines(),
              QStringList{"Серия-1 №-3 Круг-d 10 мм.  Ft=40,125 кН."});
    EXPECT_TRUE(main->NextGrid1->isEnabled());
    main->N4Click();
    EXPECT_EQ(main->NextGrid1->RowCount(), 3);
}

// "Точки данных", zooming in the window, the chart's click, "Выход".
TEST_F(GraphWindow, MarkersZoomAndExit)
{
    put("a.bmd", standard());
    put("b.bmd", standard());
    create();
    EXPECT_FALSE(graph->CheckBox1->isChecked());
    ASSERT_TRUE(open("a.bmd", [&] {
        EXPECT_FALSE(graph->Series1->PointerVisible());
        graph->CheckBox1->click();
        EXPECT_TRUE(graph->Series1->PointerVisible());

        QWidget* plot = graph->Chart1->View()->viewport();
        const QRectF area = graph->Chart1->PlotArea();
        const QPoint from = area.topLeft().toPoint() + QPoint(20, 20);
        const QPoint to = area.center().toPoint();
        QTest::mousePress(plot, Qt::LeftButton, {}, from);
        QTest::mouseMove(plot, to);
        QTest::mouseRelease(plot, Qt::LeftButton, {}, to);
        EXPECT_TRUE(graph->Chart1->Zoomed());

        QTest::mouseClick(plot, Qt::LeftButton, {}, to);
        EXPECT_EQ(graph->focusWidget(), graph->Chart1->View());

        graph->N7->trigger();
        EXPECT_FALSE(graph->isVisible());
    }));
    // The next opening keeps the operator's markers and starts unzoomed.
    ASSERT_TRUE(open("b.bmd", [&] {
        EXPECT_TRUE(graph->CheckBox1->isChecked());
        EXPECT_TRUE(graph->Series1->PointerVisible());
        EXPECT_FALSE(graph->Chart1->Zoomed());
    }));
}

// "Параметры графика" and "Настройки Графика" show the parameters dialog
// modally, each over the window it was opened from; "Экспорт" hands the
// window's table, title and levels over, and the boxes it shows belong to
// the graph window (a box parented to the catalogue would bring the
// catalogue forward over the graph).
TEST_F(GraphWindow, ParametersAndExportCommands)
{
    put("b.bmd", extensometer());
    create();
    main->commands.graph_parameters = [this] { ui::exec_over(*parameters, main.get()); };
    graph->set_parameters_dialog(parameters);
    int modal = 0;
    std::vector<QWidget*> openers;
    QTimer close_dialog;
    close_dialog.setInterval(1);
    QObject::connect(&close_dialog, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() == parameters) {
            ++modal;
            openers.push_back(parameters->parentWidget());
            parameters->reject();
        }
    });
    close_dialog.start();
    main->N41Click();
    EXPECT_EQ(modal, 1);

    int exported = 0;
    graph->on_export = [&] {
        ++exported;
        EXPECT_EQ(graph->title_line(), "Серия-19 №-1 Круг-d 10 мм.  Ft=36,5 кН.");
        EXPECT_EQ(graph->ft_level(), 36.5);
        EXPECT_EQ(graph->f02_level(), 37.25);
        ui::show_message(dialogs, "Книга сохранена");
    };
    int pictures = 0, prints = 0;
    graph->on_save_picture = [&] { ++pictures; };
    graph->on_print_chart = [&] { ++prints; };
    ASSERT_TRUE(open("b.bmd", [&] {
        graph->N2->trigger();
        EXPECT_EQ(modal, 2);
        graph->N3->trigger();
        graph->N5->trigger();
        graph->Gt1->trigger();
        graph->Button1Click();
    }));
    EXPECT_EQ(exported, 1);
    EXPECT_EQ(pictures, 1);
    EXPECT_EQ(prints, 2);
    EXPECT_EQ(openers, (std::vector<QWidget*>{main.get(), graph}));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].parent, graph);
    // With no window in front, the boxes go to the main window.
    ui::show_message(dialogs, "x");
    EXPECT_EQ(dialogs.shown()[1].parent, main.get());
}

// The largest test a file holds: every point in the table, the curve thinned
// for drawing, the progress bar at its end.
TEST_F(GraphWindow, TheLargestTestLoadsWhole)
{
    RawTest big;
    big.mode = 2;
    const int n = static_cast<int>((kTestBufferSize - 27 - 30) / 16);
    ASSERT_EQ(n, 63996);
    big.points.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        big.points[static_cast<std::size_t>(i)] = {i % 5000 * 10, i, i / 2};
    put("big.bmd", big);
    create();
    ASSERT_TRUE(open("big.bmd", [&] {
        EXPECT_EQ(graph->NextGrid1->RowCount(), n);
        EXPECT_EQ(graph->NextGrid1->Cell(1, n - 1), "63,995");
        EXPECT_EQ(graph->Series1->Count(), n);
        EXPECT_LT(graph->Series1->DrawnCount(), n / 4);
        EXPECT_EQ(progress->ProgressBar1->maximum(), n);
        EXPECT_EQ(progress->ProgressBar1->value(), n);
    }));
}

// Closing the program while a loader waits for a hand-over: the windows go,
// the loader skips its remaining steps and ends, nothing hangs.
TEST_F(GraphWindow, WindowsClosingWhileTheLoaderRunsStopIt)
{
    put("a.bmd", standard());
    create();
    main->NextGrid1->SelectRow(0);
    main->NextGrid1DblClick();
    QPointer<MY> loader = MY::running();
    ASSERT_TRUE(loader);
    main.reset();  // the graph window goes with it and stops the loader
    EXPECT_FALSE(loader);
    EXPECT_FALSE(MY::running());
}
