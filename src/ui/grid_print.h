#pragma once
// Prints a grid the way the catalogue is printed: its visible columns, the
// header on every page, one line per row in the grid's displayed order,
// horizontal lines between rows only, as many pages as the rows need.
//
// Sizes are in dots of a 600 dpi printer (a row of 86 dots is 3.6 mm) and are
// scaled to the printer's own resolution. Columns keep their on-screen
// proportions; when they are wider than the page, all of them, and the text
// with them, shrink to the page's width.
#include <QRectF>
#include <QString>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace lekta::ui {

class Grid;

struct GridPrintOptions {
    int header_size = 400;  // header height
    int row_size = 86;      // row height
    int inner_margin_top = 20;
    bool horz_grid_lines = true;
    bool vert_grid_lines = false;
    int page_height = 0;  // 0: the printer's page
    int page_width = 0;
};

// Where everything lands on the pages, worked out before anything is drawn
// (the tests read it back too).
struct GridPrintLayout {
    std::vector<int> columns;    // grid column of each printed column
    std::vector<double> x;       // left edge of each printed column, device units
    std::vector<double> widths;  // width of each printed column, device units
    double scale = 1;            // printed text size relative to on-screen
    double top = 0;              // header's top edge
    double header_height = 0;
    double row_height = 0;
    int rows_per_page = 1;
    int pages = 1;
};

class GridPrint {
public:
    explicit GridPrint(const Grid& grid, const GridPrintOptions& options = {})
        : grid_(grid), options_(options)
    {}

    // Lays the grid out on pages of the given printable rectangle (device
    // units) at the given resolution.
    GridPrintLayout layout(const QRectF& page, double dpi) const;

    // Prints every page on the device; false when the device could not be
    // opened for painting (no printer, an unwritable file).
    bool Print(QPagedPaintDevice& device) const;

private:
    void draw_header(QPainter& painter, const GridPrintLayout& layout) const;
    void draw_rows(QPainter& painter, const GridPrintLayout& layout, int first, int count) const;

    const Grid& grid_;
    GridPrintOptions options_;
};

}  // namespace lekta::ui
