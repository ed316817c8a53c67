#include "output/printing.h"

#include "chart/chart.h"
#include "ui/dialogs.h"
#include "ui/grid.h"
#include "ui/grid_print.h"

#include <QDir>
#include <QFile>
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
    {"png", "Рисунок PNG", "*.png"},      {"jpg", "Рисунок JPEG", "*.jpg;*.jpeg"},
    {"bmp", "Точечный рисунок", "*.bmp"}, {"tif", "Рисунок TIFF", "*.tif;*.tiff"},
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
                     .arg(QString::fromUtf8(t.description), QString(patterns).replace(';', ' '),
                          patterns);
    }
    return QStringLiteral("Все рисунки (%1)|%2|")
               .arg(all.join(' ').replace(';', ' '), all.join(';')) +
           parts.join('|');
}

// The image writer's format for a file suffix; empty when no writer takes it.
QByteArray picture_format(const QString& suffix)
{
    const QString s = suffix.toLower();
    const QByteArray format = s == "jpeg"   ? QByteArray("jpg")
                              : s == "tiff" ? QByteArray("tif")
                                            : s.toLatin1();
    return !format.isEmpty() && QImageWriter::supportedImageFormats().contains(format)
               ? format
               : QByteArray();
}

// "dir/name (n).ext" for n > 1, the path itself for n = 1.
QString numbered(const QString& path, int n)
{
    if (n <= 1)
        return path;
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString base = suffix.isEmpty() ? info.fileName() : info.completeBaseName();
    const QString name = base + QStringLiteral(" (%1)").arg(n) +
                         (suffix.isEmpty() ? QString() : '.' + suffix);
    return info.dir().filePath(name);
}

// The first of path, "name (2).ext", "name (3).ext", … that does not exist,
// created empty so that nothing else takes it meanwhile.
QString claim_free_name(const QString& path)
{
    for (int n = 1; n < 10000; ++n) {
        QFile f(numbered(path, n));
        if (f.exists())
            continue;
        if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return f.fileName();
        if (!f.exists())  // not taken meanwhile: the folder refuses it
            break;
    }
    throw PrintError("Не удалось создать файл рядом с " + path.toStdString() + ".");
}

// A name whose suffix is no picture type ("образец 12.3") keeps it as part of
// the name and gets the default extension; the dialog never saw that name,
// so an existing file of it is not replaced: the picture goes beside it.
QString with_extension(const QString& path, const QString& ext)
{
    if (!picture_format(QFileInfo(path).suffix()).isEmpty())
        return path;
    const QString full = path + '.' + ext;
    return QFileInfo::exists(full) ? claim_free_name(full) : full;
}

bool prints_to_file(const QPrinter& printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
}

// Prints through `print` to the printer's file, never over a file the
// operator did not choose just now: the name chosen in an earlier setup
// dialog stays on the process-wide printer for every later print, so when
// that file exists the print goes beside it ("name (2).pdf"). The printer
// keeps the chosen name. Returns the file printed to, or an empty text for
// a printer.
template <typename Print>
QString print_to_target(QPrinter& printer, bool chosen_now, Print print)
{
    if (!prints_to_file(printer)) {
        print();
        return {};
    }
    const QString chosen = printer.outputFileName();
    if (chosen_now || !QFileInfo::exists(chosen)) {
        print();
        return chosen;
    }
    const QString beside = claim_free_name(chosen);
    printer.setOutputFileName(beside);
    try {
        print();
    } catch (...) {
        printer.setOutputFileName(chosen);
        QFile::remove(beside);
        throw;
    }
    printer.setOutputFileName(chosen);
    return beside;
}

void say_where(ui::Dialogs& dialogs, const QString& what, const QString& file)
{
    if (!file.isEmpty())
        ui::show_message(dialogs, what + QDir::toNativeSeparators(file));
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
    const QString file = print_to_target(printer, true, [&] {
        if (!ui::GridPrint(grid).Print(printer))
            throw PrintError("Не удалось напечатать каталог: принтер \"" +
                             (printer.outputFormat() == QPrinter::PdfFormat
                                  ? printer.outputFileName()
                                  : printer.printerName())
                                 .toStdString() +
                             "\" недоступен.");
    });
    say_where(dialogs, QStringLiteral("Каталог напечатан в файл "), file);
}

void print_chart(ui::Chart& chart, ui::Dialogs& dialogs, QPrinter& printer)
{
    const bool ask = nowhere_to_print(printer);
    if (ask && !dialogs.printer_setup(printer))
        return;
    printer.setPageOrientation(QPageLayout::Landscape);
    const QString file = print_to_target(printer, ask, [&] {
        QPainter painter;
        if (!painter.begin(&printer))
            throw PrintError("Не удалось напечатать график: принтер недоступен.");
        chart.Print(painter, QRect(0, 0, printer.width(), printer.height()), QMarginsF(4, 4, 4, 4),
                    false);
        painter.end();
    });
    say_where(dialogs, QStringLiteral("График напечатан в файл "), file);
}

void write_chart_picture(ui::Chart& chart, const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QByteArray format = picture_format(suffix);
    if (format.isEmpty())
        throw PrintError("Рисунок не сохранён: тип файла \"" + suffix.toStdString() +
                         "\" не поддерживается.");
    QImage image;
    {
        ui::ScopedHiddenTitle hidden(chart);
        image = chart.RenderImage(chart.size());
    }
    QImageWriter writer(path, format);
    if (!writer.write(image))
        throw PrintError("Рисунок не сохранён в файл " + path.toStdString() + ": " +
                         writer.errorString().toStdString());
}

void save_chart_picture(ui::Chart& chart, const ui::FileDialog& dialog, ui::Dialogs& dialogs)
{
    const auto path = dialogs.save_file(dialog);
    if (!path)
        return;
    write_chart_picture(chart, with_extension(*path, dialog.default_ext));
}

void save_graph_picture(ui::Chart& chart, ui::Dialogs& dialogs, const QString& folder)
{
    chart.Repaint();
    ui::FileDialog d;
    d.title = QStringLiteral("Сохранить рисунок как");
    d.initial_dir = folder;
    d.filter = picture_filter();
    d.default_ext = QStringLiteral("png");
    save_chart_picture(chart, d, dialogs);
}

}  // namespace lekta::output
