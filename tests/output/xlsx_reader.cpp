#include "output/xlsx_reader.h"

#include <QXmlStreamReader>
#include <zip.h>

#include <stdexcept>

namespace lekta::testing {

namespace {

class Zip {
public:
    explicit Zip(const std::string& path)
    {
        int err = 0;
        z_ = zip_open(path.c_str(), ZIP_RDONLY, &err);
        if (!z_)
            throw std::runtime_error("not a zip file: " + path);
    }
    ~Zip() { zip_close(z_); }
    bool has(const QString& name) const
    {
        return zip_name_locate(z_, name.toUtf8().constData(), 0) >= 0;
    }
    QByteArray read(const QString& name) const
    {
        zip_stat_t st;
        if (zip_stat(z_, name.toUtf8().constData(), 0, &st) != 0)
            throw std::runtime_error("missing part " + name.toStdString());
        zip_file_t* f = zip_fopen(z_, name.toUtf8().constData(), 0);
        QByteArray out(static_cast<qsizetype>(st.size), '\0');
        const zip_int64_t n = zip_fread(f, out.data(), st.size);
        zip_fclose(f);
        if (n != static_cast<zip_int64_t>(st.size))
            throw std::runtime_error("short part " + name.toStdString());
        return out;
    }

private:
    zip_t* z_;
};

// "../charts/chart1.xml" seen from "xl/drawings/drawing1.xml".
QString resolve(const QString& from, const QString& target)
{
    if (target.startsWith('/'))
        return target.mid(1);
    QStringList parts = from.split('/');
    parts.removeLast();
    for (const QString& p : target.split('/')) {
        if (p == "..")
            parts.removeLast();
        else if (p != ".")
            parts << p;
    }
    return parts.join('/');
}

QString rels_of(const QString& part)
{
    const int slash = static_cast<int>(part.lastIndexOf('/'));
    return part.left(slash) + "/_rels/" + part.mid(slash + 1) + ".rels";
}

template <class F>
void each_element(const QByteArray& xml, F f);

std::map<QString, QString> relationships(const Zip& zip, const QString& part)
{
    std::map<QString, QString> out;
    if (!zip.has(rels_of(part)))
        return out;
    each_element(zip.read(rels_of(part)), [&](QXmlStreamReader& x) {
        if (x.name() == u"Relationship")
            out[x.attributes().value("Id").toString()] = resolve(
                part, x.attributes().value("Target").toString());
    });
    return out;
}

// Walks every start element of a part.
template <class F>
void each_element(const QByteArray& xml, F f)
{
    QXmlStreamReader x(xml);
    while (!x.atEnd()) {
        if (x.readNext() == QXmlStreamReader::StartElement)
            f(x);
    }
    if (x.hasError())
        throw std::runtime_error("bad XML: " + x.errorString().toStdString());
}

std::pair<int, int> cell_position(const QString& ref)
{
    int col = 0, i = 0;
    while (i < ref.size() && ref[i].isLetter())
        col = col * 26 + (ref[i++].unicode() - 'A' + 1);
    return {ref.mid(i).toInt(), col};
}

std::vector<QString> shared_strings(const Zip& zip)
{
    std::vector<QString> out;
    if (!zip.has("xl/sharedStrings.xml"))
        return out;
    QXmlStreamReader x(zip.read("xl/sharedStrings.xml"));
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == u"si")
            out.emplace_back();
        else if (x.isStartElement() && x.name() == u"t")
            out.back() += x.readElementText();
    }
    return out;
}

std::vector<XlsxStyle> styles(const Zip& zip)
{
    std::map<int, QString> codes;
    std::vector<XlsxStyle> fonts, out;
    bool in_xfs = false, in_fonts = false;
    QXmlStreamReader x(zip.read("xl/styles.xml"));
    while (!x.atEnd()) {
        x.readNext();
        if (x.isEndElement()) {
            if (x.name() == u"cellXfs")
                in_xfs = false;
            if (x.name() == u"fonts")
                in_fonts = false;
            continue;
        }
        if (!x.isStartElement())
            continue;
        const auto a = x.attributes();
        if (x.name() == u"numFmt")
            codes[a.value("numFmtId").toInt()] = a.value("formatCode").toString();
        else if (x.name() == u"fonts")
            in_fonts = true;
        else if (in_fonts && x.name() == u"font")
            fonts.emplace_back();
        else if (in_fonts && x.name() == u"b")
            fonts.back().bold = a.value("val") != u"0";
        else if (in_fonts && x.name() == u"sz")
            fonts.back().size = a.value("val").toDouble();
        else if (in_fonts && x.name() == u"color")
            fonts.back().color = a.value("rgb").toString();
        else if (x.name() == u"cellXfs")
            in_xfs = true;
        else if (in_xfs && x.name() == u"xf") {
            XlsxStyle s = fonts.at(static_cast<size_t>(a.value("fontId").toInt()));
            const int id = a.value("numFmtId").toInt();
            s.number_format = id == 0           ? QString()
                              : codes.count(id) ? codes[id]
                                                : QString("builtin %1").arg(id);
            out.push_back(s);
        }
    }
    return out;
}

void read_worksheet(const QByteArray& xml, const std::vector<QString>& strings, XlsxSheet& sheet)
{
    QXmlStreamReader x(xml);
    std::pair<int, int> at;
    XlsxCell cell;
    QString type;
    bool in_cell = false;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isEndElement() && x.name() == u"c") {
            sheet.cells[at] = cell;
            in_cell = false;
        }
        if (!x.isStartElement())
            continue;
        const auto a = x.attributes();
        if (x.name() == u"col") {
            for (int c = a.value("min").toInt(); c <= a.value("max").toInt(); ++c) {
                if (a.hasAttribute("width"))
                    sheet.widths[c] = a.value("width").toDouble();
                if (a.hasAttribute("style"))
                    sheet.column_styles[c] = a.value("style").toInt();
            }
        } else if (x.name() == u"row" && a.hasAttribute("s")) {
            sheet.row_styles[a.value("r").toInt()] = a.value("s").toInt();
        } else if (x.name() == u"c") {
            at = cell_position(a.value("r").toString());
            cell = XlsxCell();
            cell.style = a.value("s").toInt();
            type = a.value("t").toString();
            in_cell = true;
        } else if (in_cell && x.name() == u"v") {
            const QString v = x.readElementText();
            if (type == u"s") {
                cell.text = true;
                cell.string = strings.at(static_cast<size_t>(v.toInt()));
            } else if (type == u"str" || type == u"inlineStr") {
                cell.text = true;
                cell.string = v;
            } else {
                cell.number = v.toDouble();
            }
        } else if (in_cell && x.name() == u"t") {
            cell.text = true;
            cell.string += x.readElementText();
        }
    }
    if (x.hasError())
        throw std::runtime_error("bad sheet XML: " + x.errorString().toStdString());
}

XlsxChart read_chart(const QByteArray& xml)
{
    XlsxChart chart;
    QString path;  // innermost element names of interest
    bool in_series = false, in_axis = false, in_marker = false, in_title = false;
    QString ref_kind;
    QXmlStreamReader x(xml);
    while (!x.atEnd()) {
        x.readNext();
        const QString n = x.name().toString();
        if (x.isEndElement()) {
            if (n == "ser")
                in_series = false;
            if (n == "valAx" || n == "catAx")
                in_axis = false;
            if (n == "marker")
                in_marker = false;
            if (n == "title")
                in_title = false;
            continue;
        }
        if (!x.isStartElement())
            continue;
        const auto a = x.attributes();
        if (n == "scatterChart" || n == "lineChart" || n == "barChart")
            chart.kind = n;
        else if (n == "scatterStyle")
            chart.scatter_style = a.value("val").toString();
        else if (n == "ser") {
            chart.series.emplace_back();
            in_series = true;
        } else if (in_series && (n == "tx" || n == "xVal" || n == "yVal"))
            ref_kind = n;
        else if (in_series && n == "marker")
            in_marker = true;
        else if (in_series && in_marker && n == "symbol")
            chart.series.back().marker = a.value("val").toString();
        else if (in_series && n == "f") {
            const QString f = x.readElementText();
            if (ref_kind == "tx")
                chart.series.back().name_ref = f;
            else if (ref_kind == "xVal")
                chart.series.back().x_ref = f;
            else if (ref_kind == "yVal")
                chart.series.back().y_ref = f;
        } else if (n == "valAx" || n == "catAx") {
            chart.axes.emplace_back();
            in_axis = true;
        } else if (in_axis && n == "title")
            in_title = true;
        else if (in_axis && n == "axPos")
            chart.axes.back().position = a.value("val").toString();
        else if (in_title && n == "defRPr" && a.hasAttribute("sz"))
            chart.axes.back().title_size = a.value("sz").toInt();
        else if (in_title && n == "t")
            chart.axes.back().title += x.readElementText();
        else if (n == "legend")
            chart.legend = true;
    }
    if (x.hasError())
        throw std::runtime_error("bad chart XML: " + x.errorString().toStdString());
    return chart;
}

}  // namespace

const XlsxCell* XlsxSheet::cell(int row, int column) const
{
    const auto it = cells.find({row, column});
    return it == cells.end() ? nullptr : &it->second;
}

int XlsxSheet::last_row() const
{
    int last = 0;
    for (const auto& [at, c] : cells)
        last = std::max(last, at.first);
    return last;
}

const XlsxSheet* XlsxFile::sheet(const QString& name) const
{
    for (const XlsxSheet& s : sheets)
        if (s.name == name)
            return &s;
    return nullptr;
}

XlsxFile read_xlsx(const std::string& path)
{
    Zip zip(path);
    XlsxFile file;
    file.styles = styles(zip);
    const std::vector<QString> strings = shared_strings(zip);
    const auto book_rels = relationships(zip, "xl/workbook.xml");
    each_element(zip.read("xl/workbook.xml"), [&](QXmlStreamReader& x) {
        const auto a = x.attributes();
        if (x.name() == u"workbookView")
            file.active_tab = a.value("activeTab").toInt();
        if (x.name() != u"sheet")
            return;
        XlsxSheet sheet;
        sheet.name = a.value("name").toString();
        const QString part = book_rels.at(a.value("r:id").toString());
        sheet.chart_sheet = part.contains("chartsheets/");
        if (!sheet.chart_sheet) {
            read_worksheet(zip.read(part), strings, sheet);
        } else {
            for (const auto& [id, drawing] : relationships(zip, part))
                for (const auto& [id2, chart] : relationships(zip, drawing))
                    sheet.chart = read_chart(zip.read(chart));
        }
        file.sheets.push_back(std::move(sheet));
    });
    return file;
}

}  // namespace lekta::testing
