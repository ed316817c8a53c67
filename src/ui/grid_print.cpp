#include "ui/grid_print.h"

#include "ui/grid.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace lekta::ui {

namespace {
constexpr double kSizeDpi = 600;  // the unit of the print sizes
constexpr double kPad = 0.8;      // text inset in a cell, in printed points

QString caption_text(const QString& caption)
{
    return QString(caption).replace("\r\n", "\n").replace('\r', '\n');
}
}  // namespace

GridPrintLayout GridPrint::layout(const QRectF& page, double dpi) const
{
    GridPrintLayout l;
    const double unit = dpi / kSizeDpi;
    const double screen_dpi = grid_.logicalDpiX() > 0 ? grid_.logicalDpiX() : 96;
    double total = 0;
    for (int c = 0; c < grid_.ColumnCount(); ++c) {
        if (!grid_.ColumnVisible(c))
            continue;
        l.columns.push_back(c);
        const double w = std::max(1, grid_.ColumnWidthOf(c)) * dpi / screen_dpi;
        l.widths.push_back(w);
        total += w;
    }
    const double page_width = options_.page_width > 0 ? options_.page_width * unit : page.width();
    const double page_height = options_.page_height > 0 ? options_.page_height * unit
                                                        : page.height();
    if (total > page_width && total > 0) {
        l.scale = page_width / total;
        for (double& w : l.widths)
            w *= l.scale;
    }
    double x = page.left();
    for (double w : l.widths) {
        l.x.push_back(x);
        x += w;
    }
    l.top = page.top() + options_.inner_margin_top * unit;
    l.header_height = options_.header_size * unit;
    l.row_height = std::max(1.0, options_.row_size * unit);
    const double room = page.top() + page_height - l.top - l.header_height;
    l.rows_per_page = std::max(1, static_cast<int>(std::floor(room / l.row_height + 1e-9)));
    const int rows = grid_.RowCount();
    l.pages = std::max(1, (rows + l.rows_per_page - 1) / l.rows_per_page);
    return l;
}

void GridPrint::draw_header(QPainter& painter, const GridPrintLayout& l) const
{
    QFont font = grid_.horizontalHeader()->font();
    font.setPointSizeF(font.pointSizeF() * l.scale);
    painter.setFont(font);
    const QPen line(Qt::black, 0);
    for (size_t i = 0; i < l.columns.size(); ++i) {
        const QRectF cell(l.x[i], l.top, l.widths[i], l.header_height);
        painter.fillRect(cell, QColor(0xF0, 0xF0, 0xF0));
        painter.setPen(line);
        painter.drawRect(cell);
        const double pad = kPad * painter.device()->logicalDpiX() / 72.0;
        painter.drawText(cell.adjusted(pad, pad, -pad, -pad), Qt::AlignCenter | Qt::TextWordWrap,
                         caption_text(grid_.Column(l.columns[i]).caption));
    }
}

void GridPrint::draw_rows(QPainter& painter, const GridPrintLayout& l, int first, int count) const
{
    QFont font = grid_.font();
    font.setPointSizeF(font.pointSizeF() * l.scale);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const double pad = kPad * painter.device()->logicalDpiX() / 72.0;
    const double left = l.x.empty() ? 0 : l.x.front();
    const double right = l.x.empty() ? 0 : l.x.back() + l.widths.back();
    painter.setPen(QPen(Qt::black, 0));
    double y = l.top + l.header_height;
    for (int r = first; r < first + count; ++r) {
        for (size_t i = 0; i < l.columns.size(); ++i) {
            const QRectF cell(l.x[i] + pad, y, l.widths[i] - 2 * pad, l.row_height);
            const QString& text = grid_.Cell(l.columns[i], r);
            if (text.isEmpty())
                continue;
            const Qt::Alignment align = grid_.Column(l.columns[i]).alignment;
            painter.drawText(cell, (align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter,
                             metrics.elidedText(text, Qt::ElideRight, cell.width()));
        }
        y += l.row_height;
        if (options_.horz_grid_lines)
            painter.drawLine(QPointF(left, y), QPointF(right, y));
    }
    if (options_.vert_grid_lines)
        for (size_t i = 0; i <= l.columns.size(); ++i) {
            const double x = i < l.columns.size() ? l.x[i] : right;
            painter.drawLine(QPointF(x, l.top + l.header_height), QPointF(x, y));
        }
}

bool GridPrint::Print(QPagedPaintDevice& device) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QRectF page(0, 0, device.width(), device.height());
    const GridPrintLayout l = layout(page, device.logicalDpiY());
    const int rows = grid_.RowCount();
    for (int p = 0; p < l.pages; ++p) {
        if (p > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        draw_header(painter, l);
        const int first = p * l.rows_per_page;
        draw_rows(painter, l, first, std::min(l.rows_per_page, rows - first));
    }
    return painter.end();
}

}  // namespace lekta::ui
