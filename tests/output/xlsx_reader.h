#pragma once
// A small reader of stored .xlsx files for the tests: unzips with libzip and
// reads the parts the exports produce (sheets in order, cells, column
// widths, row and cell styles, number formats, chart sheets with their
// series, axis titles and legend), so tests check the file, not the writer.
#include <QString>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lekta::testing {

struct XlsxStyle {
    bool bold = false;
    QString color;  // "FF0000FF" style ARGB, empty for the default
    double size = 11;
    QString number_format;  // format code, empty for General
};

struct XlsxCell {
    bool text = false;
    double number = 0;
    QString string;
    int style = 0;
};

struct XlsxSeries {
    QString name_ref, x_ref, y_ref;
    QString marker;  // symbol, "none" when markers are off
};

struct XlsxAxis {
    QString position;  // "b" or "l"
    QString title;
    int title_size = 0;  // hundredths of a point
};

struct XlsxChart {
    QString kind;           // "scatterChart"
    QString scatter_style;  // "smoothMarker"
    std::vector<XlsxSeries> series;
    std::vector<XlsxAxis> axes;
    bool legend = false;
};

struct XlsxSheet {
    QString name;
    bool chart_sheet = false;
    std::map<std::pair<int, int>, XlsxCell> cells;  // (row, column) from 1
    std::map<int, double> widths;                   // column -> width
    std::map<int, int> column_styles;
    std::map<int, int> row_styles;
    std::optional<XlsxChart> chart;

    const XlsxCell* cell(int row, int column) const;
    int last_row() const;
};

struct XlsxFile {
    std::vector<XlsxSheet> sheets;
    std::vector<XlsxStyle> styles;  // cellXfs in order
    int active_tab = 0;

    const XlsxSheet* sheet(const QString& name) const;
    const XlsxStyle& style(int index) const { return styles.at(static_cast<size_t>(index)); }
};

// Throws std::runtime_error when the file is no readable workbook.
XlsxFile read_xlsx(const std::string& path);

}  // namespace lekta::testing
