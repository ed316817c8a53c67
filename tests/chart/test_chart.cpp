#include "chart/chart.h"
#include "chart/chart_view.h"
#include "support/test_support.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <stdexcept>
#include <tuple>

using namespace lekta::ui;

namespace {

// Rising line, plateau, hardening, necking over 0 … 60 mm, 0 … about 50 kN.
std::vector<ChartPoint> test_curve(int n)
{
    std::vector<ChartPoint> pts;
    for (int i = 0; i < n; ++i) {
        const double x = 60.0 * i / (n - 1);
        double y = x < 2   ? 20 * x
                   : x < 6 ? 40 + 0.5 * std::sin(i * 0.9)
                           : 40 + 10 * std::sin((x - 6) / 54 * 2.8);
        pts.push_back({x, y + 0.2 * std::sin(i * 1.7)});
    }
    return pts;
}

// A chart on screen (offscreen platform), laid out.
struct ShownChart {
    explicit ShownChart(QSize size = QSize(800, 500))
    {
        chart.resize(size);
        chart.show();
        curve = chart.AddSeries(SeriesKind::Line);
        curve->ReplacePoints(test_curve(64000));
        chart.Repaint();
    }
    QWidget* viewport() const { return chart.View()->viewport(); }
    QPoint at(double fx, double fy) const  // a point of the plot, in shares of its size
    {
        const QRectF p = chart.PlotArea();
        return QPointF(p.left() + fx * p.width(), p.top() + fy * p.height()).toPoint();
    }
    Chart chart;
    ChartSeries* curve;
};

auto settings(const ChartAxis& a)
{
    return std::make_tuple(a.AutomaticMinimum(), a.AutomaticMaximum(), a.Minimum(), a.Maximum(),
                           a.Increment());
}

void wheel(QWidget* w, QPoint pos, int delta)
{
    QWheelEvent e(QPointF(pos), QPointF(w->mapToGlobal(pos)), QPoint(), QPoint(0, delta),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

// The smallest rectangle holding every pixel that is not white.
QRect ink(const QImage& image)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                r |= QRect(x, y, 1, 1);
    return r;
}

}  // namespace

TEST(ChartSeries, KeepsPointsInOrderWithExtentsRightAfterEachChange)
{
    Chart chart;
    ChartSeries* s = chart.AddSeries(SeriesKind::Line);
    EXPECT_EQ(std::make_tuple(s->MinXValue(), s->MaxXValue(), s->MinYValue(), s->MaxYValue()),
              std::make_tuple(0.0, 0.0, 0.0, 0.0));
    s->ReplacePoints(std::vector<ChartPoint>{{3, -1}, {1, 5}, {2, 2}});
    EXPECT_EQ(s->Count(), 3);
    EXPECT_EQ(s->XValue(0), 3) << "X is not sorted";
    EXPECT_EQ(std::make_tuple(s->MinXValue(), s->MaxXValue(), s->MinYValue(), s->MaxYValue()),
              std::make_tuple(1.0, 3.0, -1.0, 5.0));
    struct LinkLike {
        double x, y;
    };
    s->AppendPoints(std::vector<LinkLike>{{-4, 7}, {0, 0}});
    s->AddXY(10, -9);
    EXPECT_EQ(s->Count(), 6);
    EXPECT_EQ(s->XValue(5), 10);
    EXPECT_EQ(s->YValue(3), 7);
    EXPECT_EQ(std::make_tuple(s->MinXValue(), s->MaxXValue(), s->MinYValue(), s->MaxYValue()),
              std::make_tuple(-4.0, 10.0, -9.0, 7.0));
    s->Clear();
    EXPECT_EQ(s->Count(), 0);
    EXPECT_EQ(s->MaxXValue(), 0);
    EXPECT_THROW(s->XValue(0), std::out_of_range);
    s->AddXY(2, 3);
    EXPECT_EQ(std::make_tuple(s->MinXValue(), s->MaxXValue(), s->MinYValue(), s->MaxYValue()),
              std::make_tuple(2.0, 2.0, 3.0, 3.0))
        << "the extent starts afresh after a clear";
    EXPECT_THROW(chart.Series(1), std::out_of_range);
}

TEST(Chart, AutomaticRangeCoversTheActiveSeriesOnly)
{
    Chart chart;
    ChartSeries* curve = chart.AddSeries(SeriesKind::Line);
    ChartSeries* line = chart.AddSeries(SeriesKind::FastLine);
    ChartSeries* empty = chart.AddSeries(SeriesKind::Line);
    curve->ReplacePoints(std::vector<ChartPoint>{{0, 0}, {10, 5}});
    line->ReplacePoints(std::vector<ChartPoint>{{-5, 100}, {20, 100}});
    EXPECT_EQ(chart.BottomAxis().Minimum(), -5);
    EXPECT_EQ(chart.BottomAxis().Maximum(), 20);
    EXPECT_EQ(chart.LeftAxis().Maximum(), 100);
    EXPECT_EQ(chart.LeftAxis().Minimum(), 0) << "an empty series adds no 0 of its own";
    line->SetActive(false);
    EXPECT_EQ(chart.BottomAxis().Minimum(), 0);
    EXPECT_EQ(chart.BottomAxis().Maximum(), 10);
    EXPECT_EQ(chart.LeftAxis().Maximum(), 5);
    curve->SetActive(false);
    empty->SetActive(false);
    EXPECT_EQ(chart.BottomAxis().Minimum(), 0);
    EXPECT_EQ(chart.BottomAxis().Maximum(), 0);
    EXPECT_EQ(chart.SeriesCount(), 3);
    EXPECT_EQ(chart.Series(1), line);
}

TEST(Chart, DrawnPointsAreThinnedToThePlotColumnsAndFollowTheZoom)
{
    ShownChart c;
    const int columns = static_cast<int>(c.chart.PlotArea().width());
    ASSERT_GT(columns, 500);
    EXPECT_LE(c.curve->DrawnCount(), 4 * columns);
    EXPECT_GE(c.curve->DrawnCount(), columns);
    // Zoomed into 0.5 % of the curve: some 320 points over the plot's columns.
    c.chart.ZoomRect(QRectF(QPointF(30, 0), QPointF(30.3, 60)));
    c.chart.Repaint();
    int visible = 0;
    for (const ChartPoint& p : c.curve->Points())
        visible += p.x >= 30 && p.x <= 30.3;
    EXPECT_LE(c.curve->DrawnCount(), visible + 4) << "outside the view only the crossing ends";
    c.curve->SetPointerVisible(true);
    c.chart.Repaint();
    EXPECT_GE(c.curve->DrawnCount(), visible) << "with markers every visible point";
    // Appending re-thins to the same result as giving the whole curve at once.
    c.chart.UndoZoom();
    c.curve->SetPointerVisible(false);
    const std::vector<ChartPoint> all = c.curve->Points();
    c.curve->ReplacePoints(std::vector<ChartPoint>(all.begin(), all.begin() + 50000));
    c.chart.BottomAxis().SetMinMax(0, 60);
    c.chart.Repaint();
    c.curve->AppendPoints(std::vector<ChartPoint>(all.begin() + 50000, all.end()));
    c.chart.Repaint();
    const int appended = c.curve->DrawnCount();
    c.curve->ReplacePoints(all);
    c.chart.Repaint();
    EXPECT_EQ(appended, c.curve->DrawnCount());
}

TEST(ChartZoom, MouseZoomUndoPanAndWheelMoveTheViewButNotTheAxes)
{
    ShownChart c;
    ChartAxis& bottom = c.chart.BottomAxis();
    ChartAxis& left = c.chart.LeftAxis();
    left.SetMinMax(-0.2, 60);
    bottom.SetIncrement(1);
    c.chart.Repaint();
    const auto bottom_before = settings(bottom);
    const auto left_before = settings(left);
    const AxisRange full_x = c.chart.VisibleRange(bottom);
    const AxisRange full_y = c.chart.VisibleRange(left);
    auto unchanged = [&] {
        EXPECT_EQ(settings(bottom), bottom_before);
        EXPECT_EQ(settings(left), left_before);
    };

    // A rectangle dragged down-right: its values become the view.
    QPoint from = c.at(0.25, 0.2), to = c.at(0.75, 0.6);
    const QPointF v1 = c.chart.ValueAt(from), v2 = c.chart.ValueAt(to);
    QTest::mousePress(c.viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(c.viewport(), to);
    QTest::mouseRelease(c.viewport(), Qt::LeftButton, {}, to);
    ASSERT_TRUE(c.chart.Zoomed());
    EXPECT_NEAR(c.chart.VisibleRange(bottom).min, v1.x(), 1e-9);
    EXPECT_NEAR(c.chart.VisibleRange(bottom).max, v2.x(), 1e-9);
    EXPECT_NEAR(c.chart.VisibleRange(left).min, v2.y(), 1e-9);
    EXPECT_NEAR(c.chart.VisibleRange(left).max, v1.y(), 1e-9);
    unchanged();

    // Dragged up-left: back to exactly the axes' ranges.
    c.chart.Repaint();
    QTest::mousePress(c.viewport(), Qt::LeftButton, {}, c.at(0.6, 0.6));
    QTest::mouseMove(c.viewport(), c.at(0.4, 0.3));
    QTest::mouseRelease(c.viewport(), Qt::LeftButton, {}, c.at(0.4, 0.3));
    EXPECT_FALSE(c.chart.Zoomed());
    EXPECT_EQ(c.chart.VisibleRange(bottom).min, full_x.min);
    EXPECT_EQ(c.chart.VisibleRange(bottom).max, full_x.max);

    // The right button pans: dragged 100 pixels right, the view moves left by as much.
    c.chart.Repaint();
    const double per_pixel = (full_x.max - full_x.min) / c.chart.PlotArea().width();
    QTest::mousePress(c.viewport(), Qt::RightButton, {}, c.at(0.5, 0.5));
    QTest::mouseMove(c.viewport(), c.at(0.5, 0.5) + QPoint(100, 0));
    QTest::mouseRelease(c.viewport(), Qt::RightButton, {}, c.at(0.5, 0.5) + QPoint(100, 0));
    EXPECT_TRUE(c.chart.Zoomed());
    EXPECT_NEAR(c.chart.VisibleRange(bottom).min, full_x.min - 100 * per_pixel, 1e-9);
    EXPECT_NEAR(c.chart.VisibleRange(left).min, full_y.min, 1e-9);
    unchanged();

    // The wheel zooms about the pointer: the value under it stays put.
    c.chart.UndoZoom();
    c.chart.Repaint();
    const QPoint p = c.at(0.3, 0.7);
    const QPointF under = c.chart.ValueAt(p);
    wheel(c.viewport(), p, 120);
    const AxisRange wx = c.chart.VisibleRange(bottom);
    EXPECT_NEAR(wx.max - wx.min, (full_x.max - full_x.min) * ChartView::kWheelStep, 1e-9);
    EXPECT_NEAR(c.chart.ValueAt(p).x(), under.x(), 1e-9);
    EXPECT_NEAR(c.chart.ValueAt(p).y(), under.y(), 1e-9);
    wheel(c.viewport(), p, -120);
    EXPECT_NEAR(c.chart.VisibleRange(bottom).max - c.chart.VisibleRange(bottom).min,
                full_x.max - full_x.min, 1e-9);
    unchanged();

    // A click without a drag is the chart's click, and zooms nothing.
    c.chart.UndoZoom();
    QSignalSpy clicks(&c.chart, &Chart::Clicked);
    QTest::mouseClick(c.viewport(), Qt::LeftButton, {}, c.at(0.5, 0.5));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(c.chart.Zoomed());
    // A programmatic zoom without width is ignored.
    c.chart.ZoomRect(QRectF(QPointF(5, 0), QPointF(5, 10)));
    EXPECT_FALSE(c.chart.Zoomed());
}

TEST(ChartRender, ANeverShownChartRendersAtTheAskedSizeWithOrWithoutItsTitle)
{
    Chart chart;
    chart.LeftAxis().SetTitle("F, кН");
    chart.BottomAxis().SetTitle("Δ ,мм ");
    chart.AddSeries(SeriesKind::Line)->ReplacePoints(test_curve(5000));
    chart.Title().SetText("Серия-1 №-2 Круг-10-10 мм.  Ft=40 кН.");
    const QImage titled = chart.RenderImage(QSize(640, 400));
    QImage bare;
    {
        ScopedHiddenTitle hidden(chart);
        EXPECT_FALSE(chart.TitleVisible());
        bare = chart.RenderImage(QSize(640, 400));
    }
    EXPECT_TRUE(chart.TitleVisible());
    EXPECT_EQ(titled.size(), QSize(640, 400));
    EXPECT_EQ(bare.size(), QSize(640, 400));
    // The title band: black text in the titled picture only (the curve is red).
    auto dark_in_band = [](const QImage& img) {
        int n = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 200; x < 440; ++x) {
                const QRgb c = img.pixel(x, y);
                n += std::max({qRed(c), qGreen(c), qBlue(c)}) < 100;
            }
        return n;
    };
    EXPECT_GT(dark_in_band(titled), 50);
    EXPECT_EQ(dark_in_band(bare), 0);
    // Something was drawn: the curve in its colour.
    EXPECT_TRUE(bare.copy(ink(bare)).size().width() > 500);

    // The title comes back however the rendering ends.
    try {
        ScopedHiddenTitle hidden(chart);
        throw std::runtime_error("disk full");
    } catch (const std::runtime_error&) {}
    EXPECT_TRUE(chart.TitleVisible());
}

TEST(ChartRender, RenderingAtAnotherSizeLeavesTheChartOnScreenAsItWas)
{
    ShownChart c;
    const QRectF plot = c.chart.PlotArea();
    const int drawn = c.curve->DrawnCount();
    EXPECT_EQ(c.chart.RenderImage(QSize(300, 200)).size(), QSize(300, 200));
    EXPECT_EQ(c.chart.PlotArea(), plot);
    EXPECT_EQ(c.curve->DrawnCount(), drawn);
}

TEST(ChartPrint, FillsThePageInsideTheMarginsOrKeepsItsShape)
{
    Chart chart;
    chart.resize(400, 400);
    chart.AddSeries(SeriesKind::Line)->ReplacePoints(test_curve(2000));
    chart.Title().SetText("Печать");
    QImage page(1000, 500, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        chart.Print(p, page.rect(), QMarginsF(4, 4, 4, 4), false);
    }
    const QRect filled = ink(page);
    EXPECT_GE(filled.left(), 40);
    EXPECT_LE(filled.right(), 960);
    EXPECT_GE(filled.top(), 20);
    EXPECT_LE(filled.bottom(), 480);
    EXPECT_GT(filled.width(), 850) << "not proportional: the chart fills the width";
    EXPECT_GT(filled.height(), 400);

    page.fill(Qt::white);
    {
        QPainter p(&page);
        chart.Print(p, page.rect(), QMarginsF(4, 4, 4, 4), true);
    }
    const QRect square = ink(page);
    EXPECT_GE(square.left(), 270 - 1) << "proportional: 460 × 460, centred";
    EXPECT_LE(square.right(), 730 + 1);
    EXPECT_GT(square.width(), 400);
}

TEST(ChartPrint, PrintsOnePageToAPdfFile)
{
    lekta::testing::TempDir dir;
    Chart chart;
    chart.AddSeries(SeriesKind::Line)->ReplacePoints(test_curve(64000));
    chart.Title().SetText("Серия-1 №-2");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.file("chart.pdf")));
    printer.setPageOrientation(QPageLayout::Landscape);
    {
        QPainter p(&printer);
        chart.Print(p, QRect(QPoint(0, 0), QSize(printer.width(), printer.height())),
                    QMarginsF(4, 4, 4, 4), false);
    }
    QFile f(QString::fromStdString(dir.file("chart.pdf")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page/") +
                  pdf.count("/Type /Page "),
              1);
    EXPECT_GT(pdf.size(), 5000);
}

// Markers show over the line at any width: two pixels clear of it each side.
TEST(ChartRender, PointMarkersShowOverTheLineAtAnyWidth)
{
    for (int width : {1, 3, 6}) {
        Chart chart;
        ChartSeries* s = chart.AddSeries(SeriesKind::Line);
        s->SetColor(255);
        s->SetLineWidth(width);
        std::vector<ChartPoint> pts;
        for (int i = 0; i <= 10; ++i)
            pts.push_back({double(i), double(i)});
        s->ReplacePoints(pts);
        chart.BottomAxis().SetMinMax(-1, 11);
        chart.LeftAxis().SetMinMax(-1, 11);
        const QImage bare = chart.RenderImage(QSize(400, 400));
        s->SetPointerVisible(true);
        const QImage marked = chart.RenderImage(QSize(400, 400));
        int changed = 0;
        for (int y = 0; y < bare.height(); ++y)
            for (int x = 0; x < bare.width(); ++x)
                changed += bare.pixel(x, y) != marked.pixel(x, y);
        // Each of the 11 markers adds pixels of its own beside the line.
        EXPECT_GE(changed, 11 * (width == 1 ? 2 : 8)) << "width " << width;
        EXPECT_EQ(s->PointerSize(), 3);
    }
}

// The chart is white all over on screen, also after it was laid out before
// it was first shown and after it grew.
TEST(ChartRender, TheWhiteGroundFollowsTheChartsSize)
{
    Chart chart;
    chart.AddSeries(SeriesKind::Line)->ReplacePoints(test_curve(100));
    chart.Refresh();  // laid out while hidden, at its first size
    chart.resize(400, 300);
    chart.show();
    lekta::testing::pump_events(20);
    chart.resize(900, 600);
    lekta::testing::pump_events(20);
    const QImage image = chart.grab().toImage();
    ASSERT_EQ(image.size(), QSize(900, 600));
    for (QPoint p :
         {QPoint(2, 2), QPoint(897, 2), QPoint(2, 597), QPoint(897, 597), QPoint(700, 500)})
        EXPECT_EQ(image.pixelColor(p), QColor(Qt::white)) << p.x() << "," << p.y();
}

// A chart that grows on screen (a window maximised after it was laid out)
// is white over its whole new area, not only where it was before.
TEST(ChartRender, AGrownChartIsWhiteAllOver)
{
    ShownChart c(QSize(400, 300));
    c.curve->ReplacePoints(test_curve(200));
    lekta::testing::pump_events(50);
    c.chart.resize(700, 600);
    lekta::testing::pump_events(50);
    const QImage shot = c.chart.grab().toImage();
    ASSERT_EQ(shot.size(), QSize(700, 600));
    // The margins right of and below the old size hold no line or label.
    for (const QPoint p : {QPoint(697, 2), QPoint(697, 300), QPoint(697, 597), QPoint(2, 597)})
        EXPECT_EQ(shot.pixelColor(p), QColor(Qt::white)) << p.x() << "," << p.y();
}

namespace {

int red_pixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() > 200 && c.green() < 80 && c.blue() < 80;
        }
    return n;
}

}  // namespace

// A chart that paints its series itself draws the same thinned points where
// the drawing library would, follows zoom, hides an inactive series and
// renders at any size; it is chosen before the first series.
TEST(ChartDirectDrawing, DrawsWhereTheDrawingLibraryWould)
{
    Chart library, direct;
    direct.SetSeriesDrawing(SeriesDrawing::Direct);
    const std::vector<ChartPoint> curve = test_curve(20000);
    for (Chart* c : {&library, &direct}) {
        c->resize(600, 400);
        c->show();
        ChartSeries* s = c->AddSeries(SeriesKind::Line);
        s->SetLineWidth(3);
        s->ReplacePoints(curve);
        c->Repaint();
    }
    EXPECT_THROW(direct.SetSeriesDrawing(SeriesDrawing::QtCharts), std::logic_error);
    EXPECT_EQ(direct.Series(0)->DrawnCount(), library.Series(0)->DrawnCount());
    const int expected = red_pixels(library.grab().toImage());
    const int drawn = red_pixels(direct.grab().toImage());
    ASSERT_GT(expected, 1000);
    EXPECT_NEAR(drawn, expected, expected / 10);

    // The plateau at 40 kN, 3 to 5 mm, lies on a row of red pixels.
    const QRectF plot = direct.PlotArea();
    const AxisRange x = direct.VisibleRange(direct.BottomAxis());
    const AxisRange y = direct.VisibleRange(direct.LeftAxis());
    auto pixel = [&](double vx, double vy) {
        return QPointF(plot.left() + (vx - x.min) / (x.max - x.min) * plot.width(),
                       plot.bottom() - (vy - y.min) / (y.max - y.min) * plot.height())
            .toPoint();
    };
    const QImage shot = direct.grab().toImage();
    EXPECT_EQ(shot.pixelColor(pixel(4, 40)), QColor(Qt::red));

    // Zoomed into the hardening part: the plateau leaves the picture, the
    // curve is drawn at the new scale.
    direct.ZoomRect(QRectF(QPointF(20, 45), QPointF(60, 51)));
    direct.Repaint();
    const QImage zoomed = direct.grab().toImage();
    EXPECT_NE(zoomed.pixelColor(pixel(4, 40)), QColor(Qt::red));
    EXPECT_GT(red_pixels(zoomed), 1000);
    direct.UndoZoom();

    direct.Series(0)->SetActive(false);
    direct.Repaint();
    EXPECT_EQ(red_pixels(direct.grab().toImage()), 0);
    direct.Series(0)->SetActive(true);

    // A picture at another size has the curve too, and the chart on screen is as it was.
    EXPECT_GT(red_pixels(direct.RenderImage(QSize(1200, 800))), expected);
    direct.Repaint();
    EXPECT_NEAR(red_pixels(direct.grab().toImage()), drawn, drawn / 20);
}

// One-pixel curves are written into the chart's curve layer; wherever the
// layer draws a curve's pixel, the painter's own line (the vector path a
// printer gets, played here onto an image) has that colour within a pixel,
// and the other way round. Wider lines stay over the layer in both. (Enough
// points that the series are thinned on two threads.)
TEST(ChartDirectDrawing, OnePixelCurvesInTheLayerLieWhereThePaintersLinesDo)
{
    Chart chart;
    chart.SetSeriesDrawing(SeriesDrawing::Direct);
    chart.resize(700, 450);
    chart.show();
    const std::int32_t colours[] = {0x0000FF, 0x00A000, 0xFF0000, 0x000000};
    for (int i = 0; i < 4; ++i) {
        std::vector<ChartPoint> pts = test_curve(60000 + 1000 * i);
        for (ChartPoint& p : pts)
            p.y *= 1 - 0.15 * i;
        ChartSeries* s = chart.AddSeries(SeriesKind::Line);
        s->SetColor(colours[i]);
        s->SetLineWidth(i == 2 ? 3 : 1);  // the red one wide, drawn by itself
        s->ReplacePoints(std::move(pts));
    }
    for (const QRectF zoom : {QRectF(), QRectF(QPointF(1, 15), QPointF(30, 45))}) {
        if (!zoom.isNull())
            chart.ZoomRect(zoom);
        chart.Repaint();
        const QImage layer = chart.RenderImage(chart.size());
        QPicture recorded;
        QPainter recorder(&recorded);
        chart.Print(recorder, QRect(QPoint(0, 0), chart.size()), QMarginsF(), false);
        recorder.end();
        QImage vector(chart.size(), QImage::Format_RGB32);
        vector.fill(Qt::white);
        QPainter player(&vector);
        recorded.play(&player);
        player.end();
        for (const std::int32_t colour : colours) {
            const QColor want = QColor(colour & 0xFF, (colour >> 8) & 0xFF, colour >> 16);
            auto near = [&](const QImage& image, int x, int y) {
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (image.valid(x + dx, y + dy) && image.pixelColor(x + dx, y + dy) == want)
                            return true;
                return false;
            };
            int drawn = 0, missing = 0, extra = 0;
            for (int y = 0; y < layer.height(); ++y)
                for (int x = 0; x < layer.width(); ++x) {
                    if (layer.pixelColor(x, y) == want) {
                        ++drawn;
                        extra += !near(vector, x, y);
                    }
                    if (vector.pixelColor(x, y) == want)
                        missing += !near(layer, x, y);
                }
            ASSERT_GT(drawn, 300) << want.name().toStdString();
            // A few pixels where another curve crosses over differ.
            EXPECT_LE(extra, drawn / 100) << want.name().toStdString();
            EXPECT_LE(missing, drawn / 100) << want.name().toStdString();
        }
    }
}
