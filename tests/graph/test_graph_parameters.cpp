// The graph parameters dialog: the offset rebuilds the F(H) curve and its Ft
// line from the point table, width and colours go to both chart windows and
// the settings, and nothing changes when a text does not convert.
#include "chart/chart.h"
#include "graph/radio_group.h"
#include "graph_fixture.h"
#include "ui/colour_box.h"
#include "ui/graph_settings_target.h"

#include <QComboBox>
#include <QSettings>

using namespace lekta;
using lekta::testing::RawTest;

namespace {

class GraphParameters : public lekta::testing::GraphFixture {
protected:
    lekta::testing::ScopedSeparator comma{","};
    // Stands in for the online window: its chart's load curve and Ft line,
    // set as the window sets them.
    struct OnlineWindow : ui::GraphSettingsTarget {
        ui::Chart chart;
        ui::ChartSeries* curve = chart.AddSeries(ui::SeriesKind::Line);
        ui::ChartSeries* ft = chart.AddSeries(ui::SeriesKind::FastLine);
        int curve_line_width() const override { return curve->LineWidth(); }
        void apply_line_settings(int width, std::int32_t colour_f, std::int32_t colour_ft) override
        {
            curve->SetColor(colour_f);
            curve->SetLineWidth(width);
            ft->SetColor(colour_ft);
        }
    } online;
    ui::ChartSeries* online_curve = online.curve;
    ui::ChartSeries* online_ft = online.ft;

    void create_all()
    {
        create();
        parameters->add_target(&online);
        parameters->add_target(graph);
        parameters->set_dialogs(&dialogs);
    }
    // "ОК" with the given texts, as the button runs it.
    bool ok(const QString& width, const QString& offset)
    {
        parameters->ComboBox1->setEditText(width);
        parameters->ComboBox2->setEditText(offset);
        return ui::guarded([&] { parameters->Button2Click(); });
    }
    static RawTest extensometer()
    {
        RawTest t;
        t.mode = 2;
        t.model = 4;
        t.series = 19;
        t.test_no = 1;
        t.points = {{-200, 0, 0}, {20000, 800, 1500}, {38000, 2000, 4200}, {45000, 5200, 9800}};
        t.yield_load = 36500;
        t.proof_load = 37250;
        return t;
    }
    std::vector<ui::ChartPoint> pts(const ui::ChartSeries& s) const { return s.Points(); }
};

}  // namespace

TEST_F(GraphParameters,
       OffsetsRebuildTheCurveFromTheTableAndWidthAndColoursReachBothWindowsAndTheSettings)
{
    put("b.bmd", extensometer());
    create_all();
    ASSERT_TRUE(open("b.bmd", [&] {
        const std::vector<ui::ChartPoint> fhe = pts(*graph->Series3);
        const std::vector<ui::ChartPoint> f02 = pts(*graph->Series4);
        parameters->FormShow();
        EXPECT_EQ(parameters->ComboBox1->currentText(), "3");
        parameters->ColorBox1->SetSelected(0x008000);
        ASSERT_TRUE(ok("2", "+1"));
        EXPECT_EQ(parameters->sm, 1);
        // The row with a negative load is on the curve now, one kN up.
        EXPECT_EQ(pts(*graph->Series1),
                  (std::vector<ui::ChartPoint>{{0, 0.8}, {0.8, 21}, {2, 39}, {5.2, 46}}));
        EXPECT_EQ(pts(*graph->Series2), (std::vector<ui::ChartPoint>{{0, 37.5}, {5.2, 37.5}}));
        EXPECT_EQ(graph->NextGrid1->Cell(0, 0), "-0,2") << "the table stays";
        EXPECT_EQ(pts(*graph->Series3), fhe);
        EXPECT_EQ(pts(*graph->Series4), f02);

        EXPECT_EQ(graph->Series1->LineWidth(), 2);
        EXPECT_EQ(online_curve->LineWidth(), 2);
        EXPECT_EQ(graph->Series1->Color(), 0x008000);
        EXPECT_EQ(online_curve->Color(), 0x008000);
        EXPECT_EQ(graph->Series2->Color(), 16711680);
        EXPECT_EQ(online_ft->Color(), 16711680);
        EXPECT_EQ(shell().line_width, "2");
        EXPECT_EQ(shell().color_f, 0x008000);

        // -1, then 0: the curve lies at the table's values again.
        ASSERT_TRUE(ok("2", "-1"));
        EXPECT_EQ(pts(*graph->Series1).back(), (ui::ChartPoint{5.2, 44}));
        ASSERT_TRUE(ok("2", "0"));
        EXPECT_EQ(pts(*graph->Series1).back(), (ui::ChartPoint{5.2, 45}));
        EXPECT_EQ(pts(*graph->Series2).back(), (ui::ChartPoint{5.2, 36.5}));
        // The offset box keeps its text for the next showing.
        parameters->FormShow();
        EXPECT_EQ(parameters->ComboBox2->currentText(), "0");
        EXPECT_EQ(parameters->ComboBox1->currentText(), "2");

        // In the F(H e) view the Ft line stays empty, also after switching back.
        graph->RadioGroup1->SetItemIndex(1);
        ASSERT_TRUE(ok("2", "+1"));
        EXPECT_EQ(graph->Series1->Count(), 4);
        EXPECT_EQ(graph->Series2->Count(), 0);
        graph->RadioGroup1->SetItemIndex(0);
        EXPECT_EQ(graph->Series2->Count(), 0);
        // The export still takes the test's Ft, not the empty line's 0.
        EXPECT_EQ(graph->ft_level(), 36.5);
    }));

    // The settings reach the settings file when the main window closes.
    main->close();
    QSettings stored(QString::fromStdString(config.path()) + "/Veltrask/LEKTA.conf",
                     QSettings::IniFormat);
    EXPECT_EQ(stored.value("1.0/line").toString(), "2");
    EXPECT_EQ(stored.value("1.0/Color_F").toString(), QString::number(0x008000));
}

TEST_F(GraphParameters, ATextThatIsNotAWholeNumberChangesNothingAndKeepsTheDialogOpen)
{
    put("b.bmd", extensometer());
    create_all();
    ASSERT_TRUE(open("b.bmd", [&] {
        const std::vector<ui::ChartPoint> curve = pts(*graph->Series1);
        const std::vector<ui::ChartPoint> ft = pts(*graph->Series2);
        parameters->show();
        parameters->FormShow();
        // Beyond 32 bits too: 2^32 + 2 must not wrap round to a width of 2.
        for (auto [width, offset] : {std::pair{"abc", "0"},
                                     {"2", ""},
                                     {"2", "1,5"},
                                     {"", "+1"},
                                     {"4294967298", "0"},
                                     {"2", "4294967297"},
                                     {"2", "-2147483649"}}) {
            dialogs.clear();
            parameters->ColorBox1->SetSelected(0x00FF00);
            EXPECT_FALSE(ok(width, offset)) << width << " / " << offset;
            ASSERT_EQ(dialogs.texts().size(), 1);
            EXPECT_TRUE(dialogs.texts()[0].contains("is not a valid integer value"));
            EXPECT_TRUE(parameters->isVisible());
            EXPECT_EQ(pts(*graph->Series1), curve);
            EXPECT_EQ(pts(*graph->Series2), ft);
            EXPECT_EQ(graph->Series1->Color(), 255);
            EXPECT_EQ(shell().line_width, "3");
            EXPECT_EQ(shell().color_f, 255);
        }
        // A point table cell that is not a number stops it the same way.
        graph->NextGrid1->SetCell(0, 2, "x");
        EXPECT_FALSE(ok("2", "0"));
        EXPECT_EQ(pts(*graph->Series1), curve);

        // "Отмена" leaves everything as it was.
        parameters->ColorBox2->SetSelected(0x000000);
        parameters->Button1Click();
        EXPECT_FALSE(parameters->isVisible());
        EXPECT_EQ(graph->Series2->Color(), 16711680);
        EXPECT_EQ(shell().color_ft, 16711680);
    }));
}

TEST_F(GraphParameters, BeforeAnyTestOnlyTheOnlineWindowAndTheSettingsChange)
{
    put("b.bmd", extensometer());
    create_all();
    parameters->FormShow();
    parameters->ColorBox2->SetSelected(0x00FFFF);
    ASSERT_TRUE(ok("1", "+1"));
    EXPECT_EQ(graph->Series1->Count(), 0);
    EXPECT_EQ(graph->Series2->Count(), 0);
    EXPECT_EQ(online_curve->LineWidth(), 1);
    EXPECT_EQ(online_ft->Color(), 0x00FFFF);
    EXPECT_EQ(shell().line_width, "1");
    EXPECT_EQ(shell().color_ft, 0x00FFFF);

    // While a loader fills the graph window its curve is left alone.
    shell().buffer_busy = true;
    graph->Series1->AddXY(1, 1);
    ASSERT_TRUE(ok("2", "0"));
    EXPECT_EQ(pts(*graph->Series1), (std::vector<ui::ChartPoint>{{1, 1}}));
    shell().buffer_busy = false;
}

TEST(ColorBox, OffersNamedColoursAndACustomOneThroughTheColourDialog)
{
    ui::ScriptedDialogs dialogs;
    ui::ColorBox box(ui::ColorBox::Standard | ui::ColorBox::Extended | ui::ColorBox::System |
                     ui::ColorBox::Custom);
    box.set_dialogs(&dialogs);
    box.SetSelected(0xFF0000);
    EXPECT_EQ(box.currentText(), "Синий");
    box.SetSelected(static_cast<std::int32_t>(0x8000000F));
    EXPECT_EQ(box.currentText(), "Поверхность кнопки");
    EXPECT_EQ(box.Selected(), static_cast<std::int32_t>(0x8000000F));
    // A stored colour outside the list shows as the custom entry.
    box.SetSelected(0x123456);
    EXPECT_EQ(box.currentIndex(), 0);
    EXPECT_EQ(box.Selected(), 0x123456);

    // Choosing the custom entry asks the colour dialog; a cancel keeps the colour.
    box.SetSelected(0x0000FF);
    dialogs.answer_colour(QColor(0x10, 0x20, 0x30));
    emit box.activated(0);
    EXPECT_EQ(box.Selected(), 0x302010);
    dialogs.answer_colour(std::nullopt);
    box.SetSelected(0x00FF00);
    emit box.activated(0);
    EXPECT_EQ(box.Selected(), 0x00FF00);
    EXPECT_EQ(dialogs.shown().size(), 2u);
}
