#include "output/printing.h"

#include "ui/chart.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/grid_print.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStringList>
#include <memory>

namespace lekta::output {

namespace {

// Picture types offered by the graph window, the first one the default.
struct PictureType {
    const char* format;
    const char* description;
    const char* patterns;
};
constexpr PictureType kPictureTypes[] = {
    {"png", "Рисунок PNG", "*.png"},
    {"jpg", "JPEG Image File", "*.jpg;*.jpeg"},
    {"bmp", "Точечный рисунок", "*.bmp"},
    {"tif", "Рисунок TIFF", "*.tif;*.tiff"},
    {"webp", "Рисунок WebP", "*.webp"},
};

QString picture_filter()
{
    const QList<QByteArray> writable = QImageWriter::supportedImageFormats();
    QStringList all, parts;
    for (const PictureType& t : kPictureTypes) {
        if (!writable.contains(QByteArray(t.format)))
            continue;
        const QString patterns = QString::fromLatin1(t.patterns);
        all << patterns;
        parts << QStringLiteral("%1 (%2)|%3")
                     .arg(QString::fromUtf8(t.description), QString(patterns).replace(';', ' '), patterns);
    }
    return QStringLiteral("Все рисунки (%1)|%2|").arg(all.join(' ').replace(';', ' '), all.join(';')) + parts.join('|');
}

QString with_extension(const QString& path, const QString& ext)
{
    return QFileInfo(path).suffix().isEmpty() ? path + '.' + ext : path;
}

bool nowhere_to_print(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return printer.outputFileName().isEmpty();
    return printer.printerName().isEmpty() && QPrinterInfo::availablePrinterNames().isEmpty();
}

}  // namespace

QPrinter& printer()
{
    static std::unique_ptr<QPrinter> p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *p;
}

void N9Click(const ui::Grid& grid, ui::Dialogs& dialogs, QPrinter& printer)
{
    if (!dialogs.printer_setup(printer))
        return;
    if (!ui::GridPrint(grid).Print(printer))
        throw PrintError("Не удалось напечатать каталог: принтер \"" +
                         (printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : printer.printerName())
                             .toStdString() +
                         "\" недоступен.");
}

void print_chart(ui::Chart& chart, ui::Dialogs& dialogs, QPrinter& printer)
{
    if (nowhere_to_print(printer) && !dialogs.printer_setup(printer))
        return;
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer))
        throw PrintError("Не удалось напечатать график: принтер недоступен.");
    chart.Print(painter, QRect(0, 0, printer.width(), printer.height()), QMarginsF(4, 4, 4, 4), false);
    painter.end();
}

void write_chart_picture(ui::Chart& chart, const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QByteArray format = suffix == "jpeg" ? QByteArray("jpg") : suffix == "tiff" ? QByteArray("tif") : suffix.toLatin1();
    if (format.isEmpty() || !QImageWriter::supportedImageFormats().contains(format))
        throw PrintError("Рисунок не сохранён: тип файла \"" + suffix.toStdString() + "\" не поддерживается.");
    QImage image;
    {
        ui::ScopedHiddenTitle hidden(chart);
        image = chart.RenderImage(chart.size());
    }
    QImageWriter writer(path, format);
    if (!writer.write(image))
        throw PrintError("Рисунок не сохранён в файл " + path.toStdString() + ": " + writer.errorString().toStdString());
}

void save_chart_picture(ui::Chart& chart, const ui::FileDialog& dialog, ui::Dialogs& dialogs)
{
    const auto path = dialogs.save_file(dialog);
    if (!path)
        return;
    write_chart_picture(chart, with_extension(*path, dialog.default_ext));
}

void save_graph_picture(ui::Chart& chart, ui::Dialogs& dialogs)
{
    chart.Repaint();
    ui::FileDialog d;
    d.title = QStringLiteral("Сохранить рисунок как");
    d.filter = picture_filter();
    d.default_ext = QStringLiteral("png");
    save_chart_picture(chart, d, dialogs);
}

}  // namespace lekta::output
