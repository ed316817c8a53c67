#include "chart/chart_axis.h"
#include "chart/chart_frame.h"
#include "chart/chart_ticks.h"
#include "support/test_support.h"
#include "ui/colour.h"

#include <QFontMetricsF>
#include <cmath>
#include <gtest/gtest.h>

using namespace lekta::ui;

namespace {

// An axis over data of a fixed range; counts the changes it reports.
struct AxisRig {
    explicit AxisRig(AxisPlace place = AxisPlace::Bottom)
        : axis(
              place, [this] { return data; }, [this] { ++changes; })
    {}
    AxisRange data{2, 8, false};
    int changes = 0;
    ChartAxis axis;
};

void expect_refused(const std::function<void()>& f, const char* text)
{
    try {
        f();
        ADD_FAILURE() << "not refused: " << text;
    } catch (const AxisError& e) {
        EXPECT_STREQ(e.what(), text);
    }
}

}  // namespace

TEST(ChartAxis, RefusesInvertedLimitsAndNegativeIncrementsWithTheOperatorsTexts)
{
    AxisRig r;
    expect_refused([&] { r.axis.SetMaximum(1); }, "Axis Maximum Value must be >= Minimum");
    expect_refused([&] { r.axis.SetMinimum(9); }, "Axis Minimum Value must be <= Maximum");
    expect_refused([&] { r.axis.SetMinMax(5, 4); }, "Axis Maximum Value must be >= Minimum");
    expect_refused([&] { r.axis.SetIncrement(-0.5); }, "Axis increment must be >= 0");
    expect_refused([&] { r.axis.SetMinimum(NAN); }, "Axis Minimum Value must be <= Maximum");
    // A refusal leaves the axis as it was.
    EXPECT_TRUE(r.axis.Automatic());
    EXPECT_EQ(r.axis.Minimum(), 2);
    EXPECT_EQ(r.axis.Maximum(), 8);
    EXPECT_EQ(r.axis.Increment(), 0);
    EXPECT_EQ(r.changes, 0);
    // The limits in effect are what a new limit is checked against.
    r.axis.SetMaximum(3);
    expect_refused([&] { r.axis.SetMinimum(3.5); }, "Axis Minimum Value must be <= Maximum");
    r.axis.SetMinimum(3);  // equal ends are allowed
    r.axis.SetIncrement(0);
}

TEST(ChartAxis, SettingALimitMakesOnlyThatEndManual)
{
    AxisRig r;
    r.axis.SetMaximum(r.axis.Maximum() + 0.3);  // a window widening an automatic range
    EXPECT_FALSE(r.axis.AutomaticMaximum());
    EXPECT_TRUE(r.axis.AutomaticMinimum());
    EXPECT_FALSE(r.axis.Automatic());
    r.data = {-1, 20, false};
    EXPECT_EQ(r.axis.Minimum(), -1) << "the automatic end follows the data";
    EXPECT_EQ(r.axis.Maximum(), 8.3) << "the widened end stays as set";
    r.axis.SetAutomatic(true);
    EXPECT_EQ(r.axis.Maximum(), 20);
    // Switched off, an automatic end keeps its limit while the data moves on.
    r.axis.SetAutomaticMinimum(false);
    r.data = {-7, 30, false};
    EXPECT_EQ(r.axis.Minimum(), -1);
    EXPECT_EQ(r.axis.Maximum(), 30);
    r.axis.SetMinMax(-0.2, 50);
    EXPECT_FALSE(r.axis.AutomaticMinimum());
    EXPECT_FALSE(r.axis.AutomaticMaximum());
    EXPECT_EQ(r.axis.DrawnRange().min, -0.2);
    EXPECT_EQ(r.axis.DrawnRange().max, 50);
    // Without data an automatic end is 0; a flat range is widened for drawing only.
    r.data = {};
    r.axis.SetAutomatic(true);
    EXPECT_EQ(r.axis.Minimum(), 0);
    EXPECT_EQ(r.axis.Maximum(), 0);
    EXPECT_LT(r.axis.DrawnRange().min, 0);
    EXPECT_GT(r.axis.DrawnRange().max, 0);
    r.data = {40.5, 40.5, false};
    EXPECT_EQ(r.axis.Minimum(), 40.5);
    EXPECT_LT(r.axis.DrawnRange().min, 40.5);
    EXPECT_GT(r.axis.DrawnRange().max, 40.5);
}

TEST(ChartTicks, IncrementIsKeptWhileLabelsFitAndGrowsToARoundMultipleOtherwise)
{
    const auto twenty = [](double) { return 20.0; };
    // 0 … 50 mm at increment 1 over 2,000 pixels: 40 pixels apart, room enough.
    TickLayout t = choose_ticks(0, 50, 1, {2000, 2, 16}, twenty);
    EXPECT_EQ(t.step, 1);
    ASSERT_EQ(t.values.size(), 51u);
    EXPECT_EQ(t.values.front(), 0);
    EXPECT_EQ(t.values.back(), 50);
    // Over 200 pixels a step of 1 is 4 pixels: ×2 and ×5 still overlap, ×10 fits.
    t = choose_ticks(0, 50, 1, {200, 2, 16}, twenty);
    EXPECT_EQ(t.step, 10);
    EXPECT_EQ(t.values, (std::vector<double>{0, 10, 20, 30, 40, 50}));
    // An increment that does not divide the range: labels on its multiples.
    t = choose_ticks(-0.37, 1.23, 0.25, {1000, 2, 16}, twenty);
    EXPECT_EQ(t.step, 0.25);
    EXPECT_EQ(t.values, (std::vector<double>{-0.25, 0, 0.25, 0.5, 0.75, 1}));
    // Zoomed in deeper than the increment: the axis' own step rather than no labels.
    t = choose_ticks(3.02, 3.1, 1, {1000, 2, 16}, twenty);
    EXPECT_GE(t.values.size(), 2u);
    EXPECT_LT(t.step, 0.08);
}

TEST(ChartTicks, WithoutIncrementTheStepIsOneTwoOrFiveTimesAPowerOfTen)
{
    const auto width = [](double) { return 30.0; };
    for (double range : {0.013, 1.0, 7.3, 64.0, 980.0, 123456.0}) {
        const TickLayout t = choose_ticks(-range / 10, range, 0, {1500, 2, 16}, width);
        ASSERT_GT(t.values.size(), 3u) << range;
        const double decade = std::pow(10, std::floor(std::log10(t.step)));
        const double f = std::round(t.step / decade);
        EXPECT_TRUE(f == 1 || f == 2 || f == 5) << t.step;
        for (std::size_t i = 1; i < t.values.size(); ++i)
            EXPECT_GE((t.values[i] - t.values[i - 1]) / (range * 1.1) * 1500, 30 + 16 - 1e-6)
                << range;
        EXPECT_GE(t.values.front(), -range / 10);
        EXPECT_LE(t.values.back(), range);
    }
    // No room or no range: at most one label, never a hang.
    EXPECT_LE(choose_ticks(0, 1, 0, {10, 2, 16}, width).values.size(), 1u);
    EXPECT_TRUE(choose_ticks(3, 3, 1, {500, 2, 16}, width).values.empty());
    EXPECT_LE(choose_ticks(0, 1e300, 1e-300, {500, 2, 16}, width).values.size(), 500u);
}

TEST(ChartFrame, LabelsUseTheRegionalSeparatorAndStayInsideTheChart)
{
    lekta::testing::ScopedSeparator comma(",");
    AxisRig left(AxisPlace::Left), bottom(AxisPlace::Bottom), right(AxisPlace::Right);
    left.axis.SetMinMax(-0.2, 20.5);
    left.axis.SetTitle("F, кН");
    bottom.axis.SetMinMax(0, 0.5);
    bottom.axis.SetIncrement(0.01);
    bottom.axis.SetTitle("Δ ,мм ");
    right.axis.SetVisible(false);
    QFont font;
    font.setPixelSize(12);
    const QFontMetricsF fm(font);
    for (const QSizeF size : {QSizeF(1600, 900), QSizeF(227, 300), QSizeF(400, 120)}) {
        const ChartFrame f = lay_out_frame(size, 20, font, left.axis, bottom.axis, right.axis,
                                           left.axis.DrawnRange(), bottom.axis.DrawnRange(),
                                           {0, 1, false});
        EXPECT_GE(f.plot.top(), 20 + kChartMargin) << "plot under the title band";
        EXPECT_TRUE(QRectF(QPointF(0, 0), size).contains(f.plot));
        ASSERT_FALSE(f.bottom.labels.isEmpty());
        EXPECT_TRUE(f.bottom.labels.contains("0,1") || f.bottom.labels.contains("0,2"))
            << size.width();
        EXPECT_FALSE(f.bottom.labels.join("").contains('.'));
        // Every bottom label, centred on its tick, lies inside the chart and clear of the next.
        double previous_right = -1;
        for (qsizetype i = 0; i < f.bottom.labels.size(); ++i) {
            const double x = f.plot.left() + (f.bottom.values[static_cast<std::size_t>(i)] - 0) /
                                                 0.5 * f.plot.width();
            const double w = fm.horizontalAdvance(f.bottom.labels[i]);
            EXPECT_GE(x - w / 2, 0) << f.bottom.labels[i].toStdString();
            EXPECT_LE(x + w / 2, size.width()) << f.bottom.labels[i].toStdString();
            EXPECT_GT(x - w / 2, previous_right) << f.bottom.labels[i].toStdString();
            previous_right = x + w / 2;
        }
        // The left labels fit left of the plot, the top one under the title band.
        double widest = 0;
        for (const QString& s : f.left.labels)
            widest = std::max(widest, fm.horizontalAdvance(s));
        EXPECT_GE(f.plot.left() - widest, kChartMargin) << size.width();
        EXPECT_GE(f.plot.top() - fm.height() / 2, kChartMargin + 20) << size.width();
    }
}

TEST(ChartColours, WindowsValuesBothWaysAndSystemColoursFromTheClassicTable)
{
    EXPECT_EQ(windows_colour(255), QColor(255, 0, 0));
    EXPECT_EQ(windows_colour(16711680), QColor(0, 0, 255));
    EXPECT_EQ(windows_colour(0x00408000), QColor(0, 128, 64));
    EXPECT_EQ(windows_colour_value(QColor(0, 0, 64)), 0x00400000);
    EXPECT_EQ(windows_colour_value(Qt::green), 0x0000FF00);
    for (std::int32_t v : {0, 255, 0x00123456, 0x00FFFFFF})
        EXPECT_EQ(windows_colour_value(windows_colour(v)), v);
    EXPECT_EQ(windows_colour(kButtonFaceColour), QColor(212, 208, 200));
    EXPECT_EQ(windows_colour(kWindowColour), QColor(255, 255, 255));
    EXPECT_EQ(windows_colour(kWindowTextColour), QColor(0, 0, 0));
    EXPECT_EQ(windows_colour(static_cast<std::int32_t>(0x80000018)),
              QColor(255, 255, 225));  // tooltip background
    EXPECT_EQ(windows_colour(static_cast<std::int32_t>(0x8000001E)),
              QColor(212, 208, 200));  // index 30, the last
    EXPECT_EQ(windows_colour(static_cast<std::int32_t>(0x8000001F)), QColor(0, 0, 0))
        << "no such index";
    // The byte above blue carries palette flags, not colour.
    EXPECT_EQ(windows_colour(0x02FF0000), QColor(0, 0, 255));
}
