// The graph window as the operator sees it, on the demo set's tests: each
// view paints its curve and reference line in their colours. With
// LEKTA_SAVE_PICTURES set to a folder the pictures are stored there too.
#include "chart/chart.h"
#include "chart/chart_view.h"
#include "graph/radio_group.h"
#include "graph_fixture.h"
#include "lib/sample_tests.h"
#include "ui/colour_box.h"

#include <QComboBox>

#include <QCheckBox>
#include <QImage>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>

using namespace lekta;

namespace {

class GraphPictures : public lekta::testing::GraphFixture {
protected:
    void SetUp() override
    {
        GraphFixture::SetUp();
        for (const auto& t : tools::demo_tests()) {
            if (t.name == "S12-001.bmd" || t.name == "S19-001.bmd") {
                ASSERT_TRUE(tools::write_bmd(tests.file(t.name), t.test));
            }
        }
    }
    // The window at a size an operator's screen gives it, drawn now.
    QImage picture(QWidget& w, const char* name)
    {
        const QImage image = w.grab().toImage();
        const QString folder = qEnvironmentVariable("LEKTA_SAVE_PICTURES");
        if (!folder.isEmpty())
            image.save(folder + "/" + name);
        return image;
    }
    QImage chart_picture(const char* name)
    {
        graph->setWindowState(Qt::WindowNoState);
        graph->setGeometry(0, 0, 1280, 760);
        // The new size is laid out on the next turn of the event loop.
        QCoreApplication::processEvents();
        graph->Chart1->Repaint();
        const QImage window = picture(*graph, name);
        return window.copy(QRect(graph->Chart1->mapTo(graph, QPoint(0, 0)), graph->Chart1->size()));
    }
    static int pixels_of(const QImage& image, QColor colour)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y) == colour;
        return n;
    }
};

}  // namespace

TEST_F(GraphPictures, EachViewPaintsItsCurveAndLine)
{
    create();
    const QColor red(255, 0, 0), blue(0, 0, 255), dark_blue(0, 0, 64), lime(0, 255, 0);
    ASSERT_TRUE(open("S12-001.bmd", [&] {
        const QImage c = chart_picture("graph-window.png");
        EXPECT_GT(pixels_of(c, red), 500);
        EXPECT_GT(pixels_of(c, blue), 300);
        EXPECT_EQ(pixels_of(c, dark_blue), 0);
    }));
    ASSERT_TRUE(open("S19-001.bmd", [&] {
        QImage c = chart_picture("graph-window-extensometer.png");
        EXPECT_GT(pixels_of(c, red), 500);
        EXPECT_EQ(pixels_of(c, lime), 0);
        graph->RadioGroup1->Button(1)->click();
        c = chart_picture("graph-window-fhe.png");
        EXPECT_EQ(pixels_of(c, red), 0);
        EXPECT_GT(pixels_of(c, dark_blue), 300);
        EXPECT_GT(pixels_of(c, lime), 300);

        // Back in F(H), zoomed into the yield with the points marked.
        graph->RadioGroup1->Button(0)->click();
        graph->CheckBox1->setChecked(true);
        graph->Chart1->ZoomRect(
            QRectF(QPointF(0, 0.45 * graph->Series1->MaxYValue()),
                   QPointF(0.2 * graph->Series1->MaxXValue(), 0.8 * graph->Series1->MaxYValue())));
        c = chart_picture("graph-window-zoomed.png");
        EXPECT_GT(pixels_of(c, red), 500);
        graph->CheckBox1->setChecked(false);
    }));

    // The progress window part way.
    progress->ShowCentred();
    progress->ProgressBar1->setRange(0, 100);
    progress->ProgressBar1->setValue(40);
    picture(*progress, "open-progress.png");
    progress->close();
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join("\n").toStdString();
}

// The parameters dialog, and the curve before and after a change of colour,
// width and offset: the new colour replaces the old one on the chart.
TEST_F(GraphPictures, ParametersChangeTheCurveAsShown)
{
    create();
    parameters->add_target(graph);
    const QColor red(255, 0, 0), green(0, 128, 0), blue(0, 0, 255);
    ASSERT_TRUE(open("S12-001.bmd", [&] {
        const QImage before = chart_picture("graph-before-parameters.png");
        parameters->show();
        parameters->FormShow();
        parameters->ColorBox1->SetSelected(0x008000);
        parameters->ComboBox1->setEditText("2");
        parameters->ComboBox2->setEditText("+1");
        QCoreApplication::processEvents();
        picture(*parameters, "graph-parameters.png");
        parameters->Button2Click();
        const QImage after = chart_picture("graph-after-parameters.png");
        EXPECT_GT(pixels_of(before, red), 500);
        EXPECT_EQ(pixels_of(before, green), 0);
        EXPECT_EQ(pixels_of(after, red), 0);
        // Width 3 before (the first opening's), 2 after: about two thirds of the pixels.
        EXPECT_GT(pixels_of(after, green), pixels_of(before, red) / 2);
        EXPECT_LT(pixels_of(after, green), pixels_of(before, red) * 9 / 10);
        EXPECT_GT(pixels_of(after, blue), 300);
    }));
}
