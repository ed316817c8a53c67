// The results panel of the graph window: hidden until asked for, leaving the
// window's series and axes as they were; its markers at the places the
// values were read, the offset line in F(H e); its texts under either
// decimal separator. With LEKTA_SAVE_PICTURES set to a folder the pictures
// of the demo's rebar and extensometer tests are stored there.
#include "analysis/result_comparison.h"
#include "chart/chart.h"
#include "graph/graph_parameters.h"
#include "graph/radio_group.h"
#include "graph/results_panel.h"
#include "graph_fixture.h"
#include "lib/sample_tests.h"
#include "testfile/reader.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QMenu>
#include <QRadioButton>

using namespace lekta;
using analysis::Quantity;

namespace {

constexpr const char* kRebar = "S15-001.bmd";         // A500C: a yield plateau
constexpr const char* kExtensometer = "S19-003.bmd";  // 40X: smooth, extensometer

class ResultsPanelTest : public lekta::testing::GraphFixture {
protected:
    void SetUp() override
    {
        GraphFixture::SetUp();
        for (const auto& t : tools::demo_tests()) {
            if (t.name == kRebar || t.name == kExtensometer) {
                ASSERT_TRUE(tools::write_bmd(tests.file(t.name), t.test));
            }
        }
    }
    ResultsPanel& panel() { return *graph->ResultsPanel1; }
    QString text(Quantity q, int column) { return panel().Text(1 + static_cast<int>(q), column); }
    std::vector<double> axes() const
    {
        const ui::ChartAxis& b = graph->Chart1->BottomAxis();
        const ui::ChartAxis& l = graph->Chart1->LeftAxis();
        return {b.Minimum(), b.Maximum(), l.Minimum(), l.Maximum(), b.Increment()};
    }
    // The pixels of the chart in this colour, the window stored as name.
    int chart_pixels(const char* name, QColor colour)
    {
        graph->setWindowState(Qt::WindowNoState);
        graph->setGeometry(0, 0, 1280, 760);
        QCoreApplication::processEvents();
        graph->Chart1->Repaint();
        const QImage window = graph->grab().toImage();
        if (const QString folder = qEnvironmentVariable("LEKTA_SAVE_PICTURES"); !folder.isEmpty())
            window.save(folder + "/" + name);
        const QImage c = window.copy(
            QRect(graph->Chart1->mapTo(graph, QPoint(0, 0)), graph->Chart1->size()));
        int n = 0;
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x)
                n += c.pixelColor(x, y) == colour;
        return n;
    }
};

}  // namespace

// Off by default: the four series as ever and the extra ones inactive.
// Shown (the choice stays for the next test), every axis in both views
// comes out as without it.
TEST_F(ResultsPanelTest, HiddenByDefaultAndTheAxesAsWithoutIt)
{
    create();
    QAction* toggle = panel().ToggleAction();
    EXPECT_EQ(graph->N1->actions().indexOf(toggle), graph->N1->actions().indexOf(graph->N2) + 1);
    EXPECT_EQ(toggle->text(), "Результаты по кривой");
    std::vector<std::vector<double>> hidden, shown;
    auto views = [&](auto& out) {
        out.push_back(axes());
        graph->RadioGroup1->Button(1)->click();
        out.push_back(axes());
        graph->RadioGroup1->Button(0)->click();
        out.push_back(axes());
    };
    ASSERT_TRUE(open(kExtensometer, [&] {
        EXPECT_TRUE(toggle->isCheckable() && !toggle->isChecked());
        EXPECT_TRUE(panel().isHidden());
        const ui::ChartSeries* own[] = {graph->Series1, graph->Series2, graph->Series3,
                                        graph->Series4};
        const std::int32_t colours[] = {255, 16711680, 0x400000, 0x00FF00};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(graph->Chart1->Series(i), own[i]);
            EXPECT_EQ(own[i]->Color(), colours[i]);
        }
        for (int i = 4; i < graph->Chart1->SeriesCount(); ++i)
            EXPECT_FALSE(graph->Chart1->Series(i)->Active()) << i;
        // Once through both views: the increment a later opening starts with.
        graph->RadioGroup1->Button(1)->click();
        graph->RadioGroup1->Button(0)->click();
        views(hidden);
    }));
    toggle->trigger();
    ASSERT_TRUE(open(kExtensometer, [&] {
        EXPECT_TRUE(panel().isVisible());
        views(shown);
    }));
    EXPECT_EQ(hidden, shown);
    ASSERT_TRUE(open(kRebar, [&] {
        EXPECT_TRUE(panel().isVisible());
        // A standard test keeps the automatic range: exactly its data's.
        EXPECT_EQ(graph->Chart1->BottomAxis().Maximum(), graph->Series1->MaxXValue());
        EXPECT_EQ(graph->Chart1->LeftAxis().Minimum(), graph->Series1->MinYValue());
        toggle->trigger();
        for (int i = 4; i < graph->Chart1->SeriesCount(); ++i)
            EXPECT_FALSE(graph->Chart1->Series(i)->Active()) << i;
    }));
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join("\n").toStdString();
}

// The loader's results for the demo's rebar and extensometer tests: each
// marker at its value's place in its view, the offset line on the shifted
// elastic line from its foot to above Fp0.2.
TEST_F(ResultsPanelTest, MarkersAtTheComputedPlacesAndTheOffsetLine)
{
    lekta::testing::ScopedSeparator comma{","};
    const QColor marker(144, 0, 144), orange(255, 128, 0);
    create();
    panel().ToggleAction()->setChecked(true);

    ASSERT_TRUE(read_test_file(tests.file(kRebar)));
    const analysis::CurveResults rebar = analysis::analyse_buffer_test().computed;
    ASSERT_TRUE(rebar[Quantity::FeH].present() && !rebar[Quantity::Fp02].present());
    ASSERT_TRUE(open(kRebar, [&] {
        ASSERT_TRUE(graph->curve_results());
        for (std::size_t i = 0; i < ResultsPanel::kMarked.size(); ++i) {
            const analysis::Result& r = rebar[ResultsPanel::kMarked[i]];
            EXPECT_EQ(panel().Marker(0, i)->Active(), r.present()) << i;
            if (r.present()) {
                EXPECT_EQ(panel().Marker(0, i)->Points(),
                          (std::vector<ui::ChartPoint>{{r.place.h_mm, r.place.f_kn}}));
            }
            EXPECT_FALSE(panel().Marker(1, i)->Active());
        }
        EXPECT_GT(chart_pixels("graph-results-rebar.png", marker),
                  3 * 30);  // three markers and their names

        // The parameters dialog's offset moves the F(H) markers with the curve.
        parameters->add_target(graph);
        parameters->FormShow();
        parameters->ComboBox2->setEditText("+1");
        parameters->Button2Click();
        const analysis::Result& feh = rebar[Quantity::FeH];
        EXPECT_EQ(panel().Marker(0, 1)->Points(),
                  (std::vector<ui::ChartPoint>{{feh.place.h_mm, feh.place.f_kn + 1}}));
    }));

    ASSERT_TRUE(read_test_file(tests.file(kExtensometer)));
    const analysis::CurveResults ext = analysis::analyse_buffer_test().computed;
    const analysis::Result& proof = ext[Quantity::Fp02];
    ASSERT_TRUE(proof.present());
    ASSERT_TRUE(open(kExtensometer, [&] {
        EXPECT_TRUE(panel().Marker(0, 3)->Active());
        EXPECT_FALSE(panel().OffsetLine()->Active());
        graph->RadioGroup1->Button(1)->click();
        EXPECT_FALSE(panel().Marker(0, 3)->Active());
        EXPECT_EQ(panel().Marker(1, 3)->Points(),
                  (std::vector<ui::ChartPoint>{{proof.place.he_mm, proof.value}}));
        const ui::ChartSeries& line = *panel().OffsetLine();
        ASSERT_TRUE(line.Active());
        ASSERT_EQ(line.Count(), 2);
        EXPECT_NEAR(line.YValue(0), 0, 1e-9);
        EXPECT_GT(line.YValue(1), proof.value);
        for (const ui::ChartPoint& p : line.Points())
            EXPECT_NEAR(p.y, ext.offset_line.force_at(p.x), 1e-9);
        EXPECT_GT(chart_pixels("graph-results-extensometer.png", orange), 100);
    }));
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join("\n").toStdString();
}

// A test with a yield point and an extensometer test under either decimal
// separator: values to the unit's resolution, the unit's value named and
// the signed difference, reasons for what is absent.
TEST_F(ResultsPanelTest, TextsUnderEitherSeparator)
{
    auto results = [](std::vector<std::pair<Quantity, double>> present, analysis::Absence others) {
        analysis::CurveResults r;
        for (Quantity q : analysis::quantities())
            r[q].absence = others;
        for (auto [q, v] : present)
            r[q] = {v, analysis::Absence::None, {}};
        return r;
    };
    const analysis::CurveResults plateau = results(
        {{Quantity::Fm, 110.4567}, {Quantity::Rm, 549.31234}, {Quantity::FeL, 98.0004}},
        analysis::Absence::NoExtensometer);
    analysis::StoredResults plateau_stored{487.2, 98.5, 549, 120, {}, {}};
    const analysis::CurveResults smooth = results(
        {{Quantity::Fp02, 41.25}, {Quantity::Rp02, 820.7}, {Quantity::Agt, 4.876}},
        analysis::Absence::NoYieldPoint);
    analysis::CurveResults fitted = smooth;
    fitted.elastic = {205.34, 0.99987, 23, 0.1, 0.4, analysis::Absence::None};
    // Fт of a smooth material is an offset value: FeL stays absent beside it.
    analysis::StoredResults smooth_stored{820, 41.3, 0, 50, 41.25, 825};

    create();
    for (const char* separator : {",", "."}) {
        SCOPED_TRACE(separator);
        lekta::testing::ScopedSeparator s{separator};
        auto number = [&](QString t) { return t.replace(',', QString::fromUtf8(separator)); };
        auto show = [&](const analysis::CurveResults& r, const analysis::StoredResults& st,
                        bool compression) {
            panel().SetResults(std::make_shared<analysis::ComparedResults>(
                                   analysis::compare_with_stored(r, st, compression)),
                               0);
        };
        show(plateau, plateau_stored, false);
        EXPECT_EQ(panel().Text(0, 3), "Разница, %");
        EXPECT_EQ(text(Quantity::Fm, 0), "Fm, кН");
        EXPECT_EQ(text(Quantity::Fm, 1), number("110,457"));
        EXPECT_EQ(text(Quantity::Fm, 2), "—");  // the unit's Fв is the load at fracture
        EXPECT_EQ(text(Quantity::Rm, 2), "δв 549");
        EXPECT_EQ(text(Quantity::Rm, 3), number("+0,06"));
        EXPECT_EQ(text(Quantity::FeL, 1), "98");
        EXPECT_EQ(text(Quantity::FeL, 3), number("-0,51"));
        EXPECT_EQ(text(Quantity::ReL, 1), "нет экстензометра");
        EXPECT_EQ(text(Quantity::ReL, 2), number("δт 487,2"));
        EXPECT_EQ(text(Quantity::ReL, 3), "");

        show(smooth, smooth_stored, false);
        EXPECT_EQ(text(Quantity::FeL, 1), "нет площадки текучести");
        EXPECT_EQ(text(Quantity::FeL, 2), number("Fт 41,3"));
        EXPECT_EQ(text(Quantity::Fp02, 2), number("F0.2 41,25"));
        EXPECT_EQ(text(Quantity::Fp02, 3), "0");
        EXPECT_EQ(text(Quantity::Rp02, 3), number("-0,52"));
        EXPECT_EQ(text(Quantity::Agt, 0), "Agt, %");
        EXPECT_EQ(text(Quantity::Agt, 1), number("4,88"));

        show(fitted, smooth_stored, false);
        EXPECT_EQ(panel().ElasticText(), number("E = 205,3 ГПа; R² = 0,9999"));
        EXPECT_EQ(panel().MethodText(), "E по 10–40 % Rp0.2, 23 точки");
        analysis::CurveResults few = fitted;
        few.elastic.absence = analysis::Absence::FewElasticPoints;
        show(few, smooth_stored, false);
        EXPECT_EQ(panel().ElasticText(), "E: мало точек на упругом участке");
        EXPECT_EQ(panel().MethodText(), "");

        show(plateau, plateau_stored, true);  // a compression test stores no yield or strength
        EXPECT_EQ(panel().ElasticText(),
                  "Без экстензометра E и Rp0.2 не определяются: перемещение траверсы "
                  "включает податливость машины.");
        EXPECT_EQ(text(Quantity::FeL, 2), "—");
    }
}

// The offset line cut to the curve's extent where its foot or top lies
// outside; up to Fm when it meets nothing; none without a line.
TEST(OffsetLinePoints, CutToTheCurve)
{
    analysis::CurveResults r;
    r.has_offset_line = true;
    r.offset_line = {200.0, 50.0, -0.05, 0.1, 0, 10};  // 4 kN per mm of H Δe, foot at 0.05 mm
    r[Quantity::Fp02] = {40.0, analysis::Absence::None, {}};
    auto near = [](const std::vector<ui::ChartPoint>& p, std::vector<ui::ChartPoint> expected) {
        EXPECT_EQ(p.size(), expected.size());
        for (std::size_t i = 0; i < std::min(p.size(), expected.size()); ++i) {
            EXPECT_NEAR(p[i].x, expected[i].x, 1e-9) << i;
            EXPECT_NEAR(p[i].y, expected[i].y, 1e-9) << i;
        }
    };
    near(offset_line_points(r, 0, 20, 0, 100),
         {{0.05, 0}, {0.05 + 44.8 / 4, 44.8}});  // 12 % above Fp0.2
    near(offset_line_points(r, 0.1, 20, 1, 42), {{0.3, 1}, {10.55, 42}});
    EXPECT_TRUE(offset_line_points(r, 20, 30, 0, 100).empty());
    r[Quantity::Fp02].absence = analysis::Absence::NoIntersection;
    r[Quantity::Fm] = {50.0, analysis::Absence::None, {}};
    EXPECT_EQ(offset_line_points(r, 0, 20, 0, 100).back().y, 50);
    r.has_offset_line = false;
    EXPECT_TRUE(offset_line_points(r, 0, 20, 0, 100).empty());
}
