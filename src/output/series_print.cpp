#include "output/series_print.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "chart/chart.h"
#include "output/printing.h"
#include "series/series_window.h"
#include "ui/colour.h"
#include "ui/dialogs.h"

namespace lekta::output {

QString free_file_name(const QString& path)
{
    if (!QFileInfo::exists(path))
        return path;
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QString()
                                                   : QStringLiteral(".") + info.suffix();
    const QString base = info.path() + QLatin1Char('/') + info.completeBaseName();
    for (int n = 2;; ++n) {
        const QString candidate = base + QStringLiteral(" (%1)").arg(n) + suffix;
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

namespace {

// Lays the report out in units of 1/96 inch scaled onto the page.
class Report {
public:
    Report(QPainter& painter, const QPrinter& printer) : painter_(painter)
    {
        k_ = printer.resolution() / 96.0;
        const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
        width_ = (page.width()) / k_;
        height_ = (page.height()) / k_;
        painter_.scale(k_, k_);
    }
    double width() const { return width_; }
    double height() const { return height_; }
    double k() const { return k_; }
    void font(int pixels, bool bold = false)
    {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(pixels);
        f.setBold(bold);
        painter_.setFont(f);
    }
    QPainter& painter() { return painter_; }

private:
    QPainter& painter_;
    double k_ = 1;
    double width_ = 0, height_ = 0;
};

std::vector<std::vector<QString>> table_lines(const series::SeriesTable& t, std::vector<bool>& bold)
{
    std::vector<std::vector<QString>> lines;
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
        std::vector<QString> line{QString::fromStdString(t.rows[r].label)};
        for (std::size_t c = 0; c < t.columns.size(); ++c)
            line.push_back(QString::fromStdString(t.value_text(r, c)));
        line.push_back(QString::fromStdString(
            t.rows[r].note.empty() ? t.rows[r].file : t.rows[r].file + ": " + t.rows[r].note));
        lines.push_back(std::move(line));
        bold.push_back(false);
    }
    for (series::Statistic s : series::statistics_order()) {
        std::vector<QString> line{QString::fromStdString(series::statistic_name(s))};
        for (std::size_t c = 0; c < t.columns.size(); ++c)
            line.push_back(QString::fromStdString(t.statistic_text(s, c)));
        line.push_back(QString());
        lines.push_back(std::move(line));
        bold.push_back(true);
    }
    return lines;
}

void draw_row(Report& report, double y, const std::vector<QString>& cells,
              const std::vector<double>& widths, double h, bool header)
{
    QPainter& p = report.painter();
    double x = 0;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const QRectF cell(x + 3, y, widths[c] - 6, h);
        const bool left = c == 0 || c + 1 == cells.size();
        p.drawText(cell,
                   (header ? Qt::AlignCenter | Qt::TextWordWrap
                           : (left ? Qt::AlignLeft : Qt::AlignRight)) |
                       Qt::AlignVCenter,
                   cells[c]);
        x += widths[c];
    }
    p.drawLine(QPointF(0, y + h), QPointF(x, y + h));
}

}  // namespace

int print_series_report(TForm12& window, QPrinter& printer)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer))
        throw PrintError("Не удалось напечатать отчёт: принтер \"" +
                         (printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName()
                                                                        : printer.printerName())
                             .toStdString() +
                         "\" недоступен.");
    Report report(painter, printer);
    const double W = report.width(), H = report.height();
    const series::SeriesTable& table = window.Table();

    // Title: the series, the date, the number of tests.
    report.font(18, true);
    painter.drawText(QRectF(0, 0, W, 28), Qt::AlignLeft | Qt::AlignVCenter,
                     window.TitleText() + QStringLiteral(" — ") +
                         QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    double y = 34;

    // The chart with its legend beside it.
    const double chart_h = H * 0.52;
    const double legend_w = 150;
    painter.save();
    painter.resetTransform();
    const double k = report.k();
    window.Chart1->Print(painter,
                         QRect(0, static_cast<int>(y * k), static_cast<int>((W - legend_w) * k),
                               static_cast<int>(chart_h * k)),
                         QMarginsF(0, 0, 0, 0), false);
    painter.restore();
    report.font(11);
    const auto& tests = window.Tests();
    double ly = y + 10;
    for (std::size_t i = 0; i < tests.size() && ly < y + chart_h - 14; ++i) {
        const QColor colour = ui::windows_colour(
            window.Chart1->Series(static_cast<int>(i))->Color());
        painter.setPen(QPen(colour, i == static_cast<std::size_t>(window.Highlighted()) ? 4 : 2));
        painter.drawLine(QPointF(W - legend_w + 8, ly + 7), QPointF(W - legend_w + 32, ly + 7));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(W - legend_w + 38, ly, legend_w - 38, 14),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromStdString(tests[i].label()));
        ly += 16;
    }
    y += chart_h + 10;

    // The table.
    std::vector<QString> captions{QString::fromUtf8(series::kTestCaption)};
    for (const auto& c : table.columns)
        captions.push_back(QString::fromStdString(c.caption));
    captions.push_back(QString::fromUtf8(series::kNoteCaption));
    std::vector<bool> bold;
    const auto lines = table_lines(table, bold);
    std::vector<double> widths(captions.size(), 0);
    widths[0] = 120;
    const double note_w = 190;
    widths.back() = note_w;
    const double value_w = (W - widths[0] - note_w) / static_cast<double>(table.columns.size());
    for (std::size_t c = 1; c + 1 < widths.size(); ++c)
        widths[c] = value_w;
    const double row_h = 16, head_h = 30;
    int pages = 1;
    std::size_t next = 0;
    while (true) {
        report.font(10, true);
        draw_row(report, y, captions, widths, head_h, true);
        y += head_h;
        while (next < lines.size() && y + row_h <= H) {
            report.font(10, bold[next]);
            draw_row(report, y, lines[next], widths, row_h, false);
            y += row_h;
            ++next;
        }
        if (next >= lines.size())
            break;
        if (!printer.newPage())
            throw PrintError("Не удалось напечатать отчёт: страница не добавлена.");
        ++pages;
        y = 0;
        report.font(12, true);
        painter.drawText(QRectF(0, 0, W, 22), Qt::AlignLeft | Qt::AlignVCenter,
                         window.TitleText() + QStringLiteral(" (продолжение)"));
        y = 28;
    }
    painter.end();
    return pages;
}

QString print_series(TForm12& window, ui::Dialogs& dialogs, QPrinter& printer)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!dialogs.printer_setup(printer))
        return {};
    QString file;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        if (printer.outputFileName().isEmpty())
            return {};
        QString name = printer.outputFileName();
        if (QFileInfo(name).suffix().isEmpty())
            name += QStringLiteral(".pdf");
        file = free_file_name(name);
        printer.setOutputFileName(file);
    }
    print_series_report(window, printer);
    if (!file.isEmpty()) {
        if (!QFileInfo::exists(file))
            throw PrintError("Отчёт не сохранён в файл " + file.toStdString() + ".");
        ui::show_message(dialogs,
                         QStringLiteral("Отчёт сохранён в файл ") + QDir::toNativeSeparators(file));
    }
    return file;
}

}  // namespace lekta::output
