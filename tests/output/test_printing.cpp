// Printing the catalogue and charts to PDF files read back with poppler's
// tools, and chart pictures read back as images.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <cmath>

#include "app/catalogue_columns.h"
#include "chart/chart.h"
#include "output/printing.h"
#include "support/test_support.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/grid_print.h"

using namespace lekta;
using lekta::testing::TempDir;

namespace {

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool have_poppler()
{
    return !QStandardPaths::findExecutable("pdfinfo").isEmpty() &&
           !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

struct PdfInfo {
    int pages = 0;
    double width = 0, height = 0;  // points
};

PdfInfo pdf_info(const std::string& path)
{
    PdfInfo info;
    const QString out = run("pdfinfo", {QString::fromStdString(path)});
    const auto pages = QRegularExpression("Pages:\\s+(\\d+)").match(out);
    if (pages.hasMatch())
        info.pages = pages.captured(1).toInt();
    const auto size = QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+)").match(out);
    if (size.hasMatch()) {
        info.width = size.captured(1).toDouble();
        info.height = size.captured(2).toDouble();
    }
    return info;
}

QString page_text(const std::string& path, int page)
{
    return run("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), "-layout",
                             QString::fromStdString(path), "-"});
}

// A catalogue of n rows with the catalogue's own columns, names a0000 … in order.
void fill_catalogue(ui::Grid& grid, int rows)
{
    add_catalogue_columns(grid);
    grid.BeginUpdate();
    grid.AddRow(rows);
    for (int r = 0; r < rows; ++r) {
        grid.SetCell(0, r, QString("a%1.bmd").arg(r, 4, 10, QChar('0')));
        grid.SetCell(1, r, QString::number(r % 7));
        grid.SetCell(5, r, QStringLiteral("Растяжение"));
        grid.SetCell(8, r, QStringLiteral("78,5"));
    }
    grid.EndUpdate();
}

ui::Chart& chart_with_curve(ui::Chart& chart)
{
    chart.resize(700, 420);
    chart.LeftAxis().SetTitle("F, кН");
    chart.BottomAxis().SetTitle("Δ ,мм ");
    std::vector<ui::ChartPoint> pts;
    for (int i = 0; i < 2000; ++i)
        pts.push_back({i * 0.01, 40 * (1 - std::exp(-i / 300.0))});
    chart.AddSeries(ui::SeriesKind::Line)->ReplacePoints(pts);
    chart.Title().SetText("Серия-1 №-2 Круг-10-10 мм.  Ft=40 кН.");
    return chart;
}

QByteArray head(const std::string& path, int n)
{
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.read(n) : QByteArray();
}

}  // namespace

TEST(GridPrint, ALongCatalogueRunsOverPagesWithTheHeaderOnEachAndRowsInTheirShownOrder)
{
    if (!have_poppler())
        GTEST_SKIP() << "poppler-utils not installed";
    TempDir dir;
    ui::Grid grid;
    fill_catalogue(grid, 200);
    grid.SetColumnVisible(16, false);
    grid.SortColumn(0, false);  // the operator sorted the names downwards
    ui::ScriptedDialogs dialogs;
    const std::string pdf = dir.file("catalogue.pdf");
    dialogs.answer_path(QString::fromStdString(pdf));
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Portrait);
    output::N9Click(grid, dialogs, printer);

    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[0].kind, ui::ScriptedDialogs::Kind::PrinterSetup);
    EXPECT_EQ(dialogs.texts(),
              QStringList{"Каталог напечатан в файл " + QString::fromStdString(pdf)});
    const ui::GridPrintLayout l = ui::GridPrint(grid).layout(
        QRectF(0, 0, printer.width(), printer.height()), printer.resolution());
    const PdfInfo info = pdf_info(pdf);
    EXPECT_GT(l.pages, 1);
    EXPECT_EQ(info.pages, l.pages);
    EXPECT_LT(info.width, info.height);
    EXPECT_EQ(l.columns.size(), 16u) << "the hidden column is not printed";
    EXPECT_LE(l.x.back() + l.widths.back(), printer.width() + 0.5) << "columns fit the page";

    int seen = 0;
    for (int p = 1; p <= info.pages; ++p) {
        const QString text = page_text(pdf, p);
        EXPECT_TRUE(text.contains(QStringLiteral("Имя файла"))) << "page " << p;
        EXPECT_TRUE(text.contains(QStringLiteral("Скорость"))) << "page " << p;
        // The page's first and last rows, counted from the bottom of the sort.
        const int first = (p - 1) * l.rows_per_page;
        const int last = std::min(200, first + l.rows_per_page) - 1;
        EXPECT_TRUE(text.contains(QString("a%1.bmd").arg(199 - first, 4, 10, QChar('0'))))
            << "page " << p;
        EXPECT_TRUE(text.contains(QString("a%1.bmd").arg(199 - last, 4, 10, QChar('0'))))
            << "page " << p;
        EXPECT_FALSE(text.contains(QString("a%1.bmd").arg(199 - last - 1, 4, 10, QChar('0'))) &&
                     last < 199)
            << "page " << p;
        seen += static_cast<int>(text.count(QRegularExpression("a\\d{4}\\.bmd")));
        EXPECT_TRUE(text.contains(QStringLiteral("Растяжение")));
        EXPECT_TRUE(text.contains(QStringLiteral("78,5")));
    }
    EXPECT_EQ(seen, 200) << "every row once";
}

TEST(GridPrint, AnEmptyCatalogueStillPrintsItsHeaderAndACancelPrintsNothing)
{
    if (!have_poppler())
        GTEST_SKIP() << "poppler-utils not installed";
    TempDir dir;
    ui::Grid grid;
    fill_catalogue(grid, 0);
    ui::ScriptedDialogs dialogs;
    QPrinter printer(QPrinter::HighResolution);

    dialogs.answer_path(std::nullopt);  // "Отмена"
    output::N9Click(grid, dialogs, printer);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.file("empty.pdf"))));

    dialogs.answer_path(QString::fromStdString(dir.file("empty.pdf")));
    output::N9Click(grid, dialogs, printer);
    EXPECT_EQ(pdf_info(dir.file("empty.pdf")).pages, 1);
    EXPECT_TRUE(page_text(dir.file("empty.pdf"), 1).contains(QStringLiteral("Имя файла")));
}

TEST(GridPrint, ColumnsWiderThanThePageShrinkTogetherAndKeepTheirProportions)
{
    ui::Grid grid;
    fill_catalogue(grid, 3);
    const ui::GridPrintLayout wide = ui::GridPrint(grid).layout(QRectF(0, 0, 20000, 9000), 600);
    EXPECT_DOUBLE_EQ(wide.scale, 1);
    const ui::GridPrintLayout narrow = ui::GridPrint(grid).layout(QRectF(0, 0, 1000, 9000), 600);
    EXPECT_LT(narrow.scale, 1);
    EXPECT_NEAR(narrow.x.back() + narrow.widths.back(), 1000, 0.01);
    EXPECT_NEAR(narrow.widths[0] / narrow.widths[1], wide.widths[0] / wide.widths[1], 1e-9);
    // Sizes are 600 dpi dots: the same at 600 dpi, doubled at 1200.
    EXPECT_DOUBLE_EQ(wide.row_height, 86);
    EXPECT_DOUBLE_EQ(wide.header_height, 400);
    EXPECT_DOUBLE_EQ(wide.top, 20);
    EXPECT_EQ(wide.rows_per_page, static_cast<int>((9000 - 20 - 400) / 86));
    EXPECT_DOUBLE_EQ(ui::GridPrint(grid).layout(QRectF(0, 0, 20000, 9000), 1200).row_height, 172);
}

TEST(ChartPrintCommand, PrintsLandscapeWithFourPercentMarginsAndTheOrientationStaysForLaterPrints)
{
    if (!have_poppler())
        GTEST_SKIP() << "poppler-utils not installed";
    TempDir dir;
    ui::Chart chart;
    chart_with_curve(chart);
    ui::ScriptedDialogs dialogs;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.file("chart.pdf")));
    printer.setPageOrientation(QPageLayout::Portrait);
    output::print_chart(chart, dialogs, printer);
    EXPECT_EQ(dialogs.texts(), QStringList{"График напечатан в файл " +
                                           QString::fromStdString(dir.file("chart.pdf"))})
        << "no dialog when there is somewhere to print, and a word where it went";
    const PdfInfo info = pdf_info(dir.file("chart.pdf"));
    EXPECT_EQ(info.pages, 1);
    EXPECT_GT(info.width, info.height);
    EXPECT_TRUE(page_text(dir.file("chart.pdf"), 1).contains(QStringLiteral("Ft=40")));

    // The margins: render the page and find the drawing inside 4 % of each edge.
    const QString png = QString::fromStdString(dir.file("page"));
    run("pdftoppm",
        {"-r", "40", "-png", "-singlefile", QString::fromStdString(dir.file("chart.pdf")), png});
    QImage page(png + ".png");
    ASSERT_FALSE(page.isNull());
    int left = page.width(), right = 0, top = page.height(), bottom = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 200) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    EXPECT_GE(left, page.width() * 0.04 - 2);
    EXPECT_LE(right, page.width() * 0.96 + 2);
    EXPECT_GE(top, page.height() * 0.04 - 2);
    EXPECT_GT(right - left, page.width() * 0.75)
        << "not proportional: the chart fills the page's width";

    // A later catalogue print keeps the landscape orientation.
    ui::Grid grid;
    fill_catalogue(grid, 5);
    dialogs.answer_path(QString::fromStdString(dir.file("after.pdf")));
    output::N9Click(grid, dialogs, printer);
    const PdfInfo after = pdf_info(dir.file("after.pdf"));
    EXPECT_GT(after.width, after.height);
}

TEST(ChartPrintCommand, WithNowhereToPrintTheSetupDialogOffersAFileAndACancelChangesNothing)
{
    TempDir dir;
    ui::Chart chart;
    chart_with_curve(chart);
    ui::ScriptedDialogs dialogs;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);  // and no file: nowhere to print
    printer.setOutputFileName(QString());
    dialogs.answer_path(std::nullopt);
    output::print_chart(chart, dialogs, printer);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].kind, ui::ScriptedDialogs::Kind::PrinterSetup);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait)
        << "cancelled: nothing changed";

    dialogs.answer_path(QString::fromStdString(dir.file("chosen.pdf")));
    output::print_chart(chart, dialogs, printer);
    EXPECT_TRUE(head(dir.file("chosen.pdf"), 4) == "%PDF");

    // A file that cannot be written is an error, shown by the general display.
    printer.setOutputFileName(QString::fromStdString(dir.file("missing/folder/x.pdf")));
    EXPECT_THROW(output::print_chart(chart, dialogs, printer), output::PrintError);
}

// The file chosen in the setup dialog stays on the printer; a later print
// without the dialog never writes over it (nor over its own earlier
// printout) but beside it, and says where.
TEST(ChartPrintCommand, APrintToAFileNeverReplacesAFileChosenForAnotherPrint)
{
    TempDir dir;
    ui::Chart chart;
    chart_with_curve(chart);
    ui::Grid grid;
    fill_catalogue(grid, 5);
    ui::ScriptedDialogs dialogs;
    QPrinter printer(QPrinter::HighResolution);
    const QString catalogue = QString::fromStdString(dir.file("catalogue.pdf"));
    dialogs.answer_path(catalogue);
    output::N9Click(grid, dialogs, printer);
    const QByteArray printed = head(catalogue.toStdString(), 1 << 20);
    ASSERT_TRUE(printed.startsWith("%PDF"));

    output::print_chart(chart, dialogs, printer);
    output::print_chart(chart, dialogs, printer);
    EXPECT_EQ(head(catalogue.toStdString(), 1 << 20), printed)
        << "the catalogue's printout is kept";
    const QString second = QString::fromStdString(dir.file("catalogue (2).pdf"));
    const QString third = QString::fromStdString(dir.file("catalogue (3).pdf"));
    EXPECT_TRUE(head(second.toStdString(), 4) == "%PDF");
    EXPECT_TRUE(head(third.toStdString(), 4) == "%PDF");
    EXPECT_EQ(dialogs.texts(), (QStringList{"Каталог напечатан в файл " + catalogue,
                                            "График напечатан в файл " + second,
                                            "График напечатан в файл " + third}));
    EXPECT_EQ(printer.outputFileName(), catalogue);

    // Chosen again in the dialog (which asked before replacing): that is the operator's choice.
    dialogs.answer_path(catalogue);
    output::N9Click(grid, dialogs, printer);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.file("catalogue (4).pdf"))));
}

// The online window's picture dialog: JPEG only.
ui::FileDialog online_picture_dialog()
{
    ui::FileDialog d;
    d.filter = QStringLiteral("JPEG Image File (*.jpg)|*.jpg");
    d.filter_index = 2;
    d.default_ext = QStringLiteral("jpg");
    return d;
}

TEST(ChartPicture, HoldsTheFormatItsExtensionNamesAtTheOnScreenSizeWithoutTheTitle)
{
    TempDir dir;
    ui::Chart chart;
    chart_with_curve(chart);
    ui::ScriptedDialogs dialogs;

    const QString folder = QString::fromStdString(dir.path());
    dialogs.answer_path(QString::fromStdString(dir.file("graph.png")));
    output::save_graph_picture(chart, dialogs, folder);
    dialogs.answer_path(QString::fromStdString(dir.file("graph.bmp")));
    output::save_graph_picture(chart, dialogs, folder);
    dialogs.answer_path(QString::fromStdString(dir.file("live")));  // typed without an extension
    output::save_chart_picture(chart, online_picture_dialog(), dialogs);
    // A dot in the name is no picture type: the default extension follows it.
    dialogs.answer_path(QString::fromStdString(dir.file("образец 12.3")));
    output::save_graph_picture(chart, dialogs, folder);
    EXPECT_EQ(QImageReader(QString::fromStdString(dir.file("образец 12.3.png"))).format(), "png");
    // Nor does a name the dialog never saw replace a file: it goes beside.
    dialogs.answer_path(QString::fromStdString(dir.file("graph.bmp.unknown")));
    output::save_graph_picture(chart, dialogs, folder);
    dialogs.answer_path(QString::fromStdString(dir.file("graph.bmp.unknown")));
    output::save_graph_picture(chart, dialogs, folder);
    EXPECT_TRUE(head(dir.file("graph.bmp.unknown.png"), 8).startsWith("\x89PNG"));
    EXPECT_TRUE(head(dir.file("graph.bmp.unknown (2).png"), 8).startsWith("\x89PNG"));

    EXPECT_EQ(QImageReader(QString::fromStdString(dir.file("graph.png"))).format(), "png");
    EXPECT_EQ(QImageReader(QString::fromStdString(dir.file("graph.bmp"))).format(), "bmp");
    EXPECT_TRUE(head(dir.file("graph.png"), 8).startsWith("\x89PNG"));
    EXPECT_TRUE(head(dir.file("graph.bmp"), 2) == "BM");
    EXPECT_TRUE(head(dir.file("live.jpg"), 3) == QByteArray("\xFF\xD8\xFF"));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.file("live"))));

    const QImage png(QString::fromStdString(dir.file("graph.png")));
    EXPECT_EQ(png.size(), chart.size());
    EXPECT_TRUE(chart.TitleVisible());
    // The picture equals the chart rendered without its title, and differs from it with.
    QImage bare;
    {
        ui::ScopedHiddenTitle hidden(chart);
        bare = chart.RenderImage(chart.size());
    }
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32),
              bare.convertToFormat(QImage::Format_RGB32));
    EXPECT_NE(png.convertToFormat(QImage::Format_RGB32),
              chart.RenderImage(chart.size()).convertToFormat(QImage::Format_RGB32));

    // The dialogs as each window offers them.
    const auto& shown = dialogs.shown();
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_TRUE(shown[0].filter.contains("*.png"));
    EXPECT_TRUE(shown[0].filter.contains("*.jpg"));
    EXPECT_EQ(shown[0].initial_dir, folder)
        << "the graph window's dialog opens in the default directory";
    EXPECT_EQ(shown[2].filter, "JPEG Image File (*.jpg)|*.jpg");
    EXPECT_EQ(shown[2].default_ext, "jpg");
    // As Qt's dialog shows them: each filter's patterns once, in Russian in the graph window.
    const QStringList graph_filters = ui::qt_filter(shown[0].filter).split(";;");
    EXPECT_TRUE(graph_filters.value(0).startsWith("Все рисунки (*.png *.jpg *.jpeg *.bmp"))
        << graph_filters.join("\n").toStdString();
    EXPECT_TRUE(graph_filters.contains("Рисунок JPEG (*.jpg *.jpeg)"))
        << graph_filters.join("\n").toStdString();
    for (const QString& f : graph_filters)
        EXPECT_EQ(f.count('('), 1) << f.toStdString();
    EXPECT_EQ(ui::qt_filter(shown[2].filter), "JPEG Image File (*.jpg)");
}

TEST(ChartPicture, ACancelWritesNothingAndAFailureStillBringsTheTitleBack)
{
    TempDir dir;
    ui::Chart chart;
    chart_with_curve(chart);
    ui::ScriptedDialogs dialogs;
    dialogs.answer_path(std::nullopt);
    output::save_chart_picture(chart, online_picture_dialog(), dialogs);
    output::save_graph_picture(chart, dialogs);
    EXPECT_TRUE(QDir(QString::fromStdString(dir.path())).isEmpty());
    EXPECT_TRUE(chart.TitleVisible());

    dialogs.answer_path(QString::fromStdString(dir.file("no/such/folder/x.png")));
    EXPECT_THROW(output::save_graph_picture(chart, dialogs), output::PrintError);
    EXPECT_TRUE(chart.TitleVisible());
    EXPECT_TRUE(QDir(QString::fromStdString(dir.path())).isEmpty());
}
