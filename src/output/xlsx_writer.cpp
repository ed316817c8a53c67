#include "output/xlsx_writer.h"

#include "output/number_format_code.h"
#include "output/spreadsheet_app.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstring>
#include <locale.h>
#include <utility>

namespace lekta::output {

namespace {

[[noreturn]] void fail(const std::string& text)
{
    throw SpreadsheetError(text);
}

void check(lxw_error e, const char* what)
{
    if (e != LXW_NO_ERROR)
        fail(std::string("Книга не записана (") + what + "): " + lxw_strerror(e));
}

// Storing the file: the library names a failed write only as a zip error
// ("ZIP_ERRNO"); the system's reason (a full disk) is what the operator
// needs to read, so it goes after it.
void check_close(lxw_error e, int system_error)
{
    if (e == LXW_NO_ERROR)
        return;
    std::string text = std::string("Книга не записана (файл): ") + lxw_strerror(e);
    const bool file_error = e == LXW_ERROR_CREATING_XLSX_FILE || e == LXW_ERROR_CREATING_TMPFILE ||
                            e == LXW_ERROR_ZIP_FILE_OPERATION || e == LXW_ERROR_ZIP_FILE_ADD ||
                            e == LXW_ERROR_ZIP_CLOSE;
    if (file_error && system_error != 0)
        text += " " + std::string(std::strerror(system_error));
    fail(text);
}

// 0x00BBGGRR as the settings and the exports give colours, 0xRRGGBB as
// the file wants them.
lxw_color_t rgb(std::int32_t bgr)
{
    const auto v = static_cast<std::uint32_t>(bgr);
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

// A taller font needs a taller row; the file does not grow rows by itself
// in every program that opens it. Row heights go in steps of 0.75 points.
double row_height(const RowFont& font)
{
    if (!font.size || *font.size <= 11)
        return LXW_DEF_ROW_HEIGHT;
    return std::ceil(*font.size * 4.0 / 3.0 / 0.75) * 0.75;
}

// The cell formats of one workbook: a row's font combined with a column's
// number format, made once per combination.
class Formats {
public:
    explicit Formats(lxw_workbook* wb) : wb_(wb) {}

    // 0 for no number format.
    int number_format_id(const QString& code)
    {
        if (code.isEmpty())
            return 0;
        const std::string file_code = file_number_format(code).toStdString();
        for (size_t i = 0; i < codes_.size(); ++i)
            if (codes_[i] == file_code)
                return static_cast<int>(i) + 1;
        codes_.push_back(file_code);
        return static_cast<int>(codes_.size());
    }

    lxw_format* get(const RowFont* font, int number_format)
    {
        const bool styled = font && font->any();
        if (!styled && number_format == 0)
            return nullptr;
        const RowFont key_font = styled ? *font : RowFont{};
        for (auto& [k, f] : made_)
            if (k.first == key_font && k.second == number_format)
                return f;
        lxw_format* f = workbook_add_format(wb_);
        if (key_font.bold.value_or(false))
            format_set_bold(f);
        if (key_font.color)
            format_set_font_color(f, rgb(*key_font.color));
        if (key_font.size)
            format_set_font_size(f, *key_font.size);
        if (number_format)
            format_set_num_format(f, codes_[static_cast<size_t>(number_format - 1)].c_str());
        made_.push_back({{key_font, number_format}, f});
        return f;
    }

private:
    lxw_workbook* wb_;
    std::vector<std::string> codes_;
    std::vector<std::pair<std::pair<RowFont, int>, lxw_format*>> made_;
};

void write_worksheet(lxw_workbook* wb, const Worksheet& sheet, Formats& formats, bool active)
{
    lxw_worksheet* ws = workbook_add_worksheet(wb, sheet.Name().toStdString().c_str());
    if (!ws)
        fail("Книга не записана: лист «" + sheet.Name().toStdString() + "» не добавлен");
    if (active)
        worksheet_activate(ws);

    const SheetCells& cells = sheet.cells();
    const int columns = std::max(cells.column_count(), sheet.formatted_columns());
    std::vector<int> column_code(static_cast<size_t>(columns) + 1, 0);
    std::vector<lxw_format*> plain(static_cast<size_t>(columns) + 1, nullptr);
    for (int c = 1; c <= columns; ++c) {
        const ColumnFormat* cf = sheet.column_format(c);
        if (!cf)
            continue;
        column_code[static_cast<size_t>(c)] = formats.number_format_id(cf->number_format);
        plain[static_cast<size_t>(c)] = formats.get(nullptr, column_code[static_cast<size_t>(c)]);
        if (cf->width || plain[static_cast<size_t>(c)])
            check(worksheet_set_column(
                      ws, static_cast<lxw_col_t>(c - 1), static_cast<lxw_col_t>(c - 1),
                      cf->width.value_or(LXW_DEF_COL_WIDTH), plain[static_cast<size_t>(c)]),
                  "ширина столбца");
    }

    // Row by row, as constant-memory mode needs: a row's format goes before
    // its cells, and a row once left is not written again.
    const int rows = std::max(cells.row_count(), sheet.formatted_rows());
    std::vector<lxw_format*> row_formats(static_cast<size_t>(columns) + 1);
    for (int r = 1; r <= rows; ++r) {
        const RowFont* font = sheet.row_font(r);
        const bool styled = font && font->any();
        if (styled) {
            check(worksheet_set_row(ws, static_cast<lxw_row_t>(r - 1), row_height(*font),
                                    formats.get(font, 0)),
                  "формат строки");
            for (int c = 1; c <= columns; ++c)
                row_formats[static_cast<size_t>(c)] = formats.get(
                    font, column_code[static_cast<size_t>(c)]);
        }
        const std::vector<lxw_format*>& use = styled ? row_formats : plain;
        for (int c = 1; c <= cells.column_count(); ++c) {
            const std::vector<Cell>& col = cells.column(c);
            if (static_cast<size_t>(r) > col.size())
                continue;
            const Cell& cell = col[static_cast<size_t>(r - 1)];
            const auto row = static_cast<lxw_row_t>(r - 1);
            const auto column = static_cast<lxw_col_t>(c - 1);
            if (cell.kind == Cell::Kind::Number)
                check(worksheet_write_number(ws, row, column, cell.number,
                                             use[static_cast<size_t>(c)]),
                      "число");
            else if (cell.kind == Cell::Kind::Text)
                check(worksheet_write_string(ws, row, column, cells.text(cell),
                                             use[static_cast<size_t>(c)]),
                      "текст");
        }
    }
}

void set_axis(lxw_chart_axis* axis, const AxisState& state)
{
    if (!state.has_title || state.caption.isEmpty())
        return;
    // A caption starting with '=' would be read as a cell reference.
    const std::string caption =
        (state.caption.startsWith('=') ? " " + state.caption : state.caption).toStdString();
    chart_axis_set_name(axis, caption.c_str());
    lxw_chart_font font{};
    font.size = state.title_size;
    chart_axis_set_name_font(axis, &font);
}

void write_chart(lxw_workbook* wb, const Chart& chart, bool active)
{
    if (chart.ChartType() != kSmoothScatterNoMarkers)
        fail("Книга не записана: диаграмма «" + chart.Name().toStdString() +
             "» не задана как точечная");
    lxw_chartsheet* cs = workbook_add_chartsheet(wb, chart.Name().toStdString().c_str());
    lxw_chart* ch = workbook_add_chart(wb, LXW_CHART_SCATTER_SMOOTH);
    if (!cs || !ch)
        fail("Книга не записана: диаграмма «" + chart.Name().toStdString() + "» не добавлена");

    if (const auto& source = chart.source()) {
        const std::string sheet = source->sheet().Name().toStdString();
        const SheetCells& cells = source->sheet().cells();
        CellBox box = source->box();
        // A first row of captions names the series; the data start below it.
        bool captions = false;
        for (int c = box.first_column + 1; c <= box.last_column; ++c)
            if (const Cell* cell = cells.cell(box.first_row, c);
                cell && cell->kind == Cell::Kind::Text)
                captions = true;
        const int name_row = captions ? box.first_row : 0;
        if (captions && box.rows() > 1)
            ++box.first_row;
        const auto r1 = static_cast<lxw_row_t>(box.first_row - 1),
                   r2 = static_cast<lxw_row_t>(box.last_row - 1);
        const auto x = static_cast<lxw_col_t>(box.first_column - 1);
        for (int c = box.first_column + 1; c <= box.last_column; ++c) {
            lxw_chart_series* series = chart_add_series(ch, nullptr, nullptr);
            const auto y = static_cast<lxw_col_t>(c - 1);
            chart_series_set_categories(series, sheet.c_str(), r1, x, r2, x);
            chart_series_set_values(series, sheet.c_str(), r1, y, r2, y);
            if (name_row)
                chart_series_set_name_range(series, sheet.c_str(),
                                            static_cast<lxw_row_t>(name_row - 1), y);
        }
    }
    for (const XYSeries& xy : chart.xy_series()) {
        lxw_chart_series* series = chart_add_series(ch, nullptr, nullptr);
        const CellBox& bx = xy.x.box();
        const CellBox& by = xy.y.box();
        const std::string xs = xy.x.sheet().Name().toStdString(),
                          ys = xy.y.sheet().Name().toStdString();
        chart_series_set_categories(series, xs.c_str(), static_cast<lxw_row_t>(bx.first_row - 1),
                                    static_cast<lxw_col_t>(bx.first_column - 1),
                                    static_cast<lxw_row_t>(bx.last_row - 1),
                                    static_cast<lxw_col_t>(bx.first_column - 1));
        chart_series_set_values(series, ys.c_str(), static_cast<lxw_row_t>(by.first_row - 1),
                                static_cast<lxw_col_t>(by.first_column - 1),
                                static_cast<lxw_row_t>(by.last_row - 1),
                                static_cast<lxw_col_t>(by.first_column - 1));
        const std::string name = xy.name.toStdString();
        if (!name.empty())
            chart_series_set_name(series, name.c_str());
        if (xy.color) {
            // 0x00BBGGRR to the writer's 0xRRGGBB.
            const auto c = static_cast<std::uint32_t>(*xy.color);
            lxw_chart_line line{};
            line.color = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
            line.width = 1.5;
            chart_series_set_line(series, &line);
        }
    }
    set_axis(ch->x_axis, chart.category_axis());
    set_axis(ch->y_axis, chart.value_axis());
    chart_legend_set_position(ch,
                              chart.HasLegend() ? LXW_CHART_LEGEND_RIGHT : LXW_CHART_LEGEND_NONE);
    check(chartsheet_set_chart(cs, ch), "диаграмма");
    if (active)
        chartsheet_activate(cs);
}

// libxlsxwriter prints numbers, widths and heights with the C library's
// printf, which follows the regional settings the application object took
// from the environment: under Russian settings "20,5" in the XML, and a file
// no program reads. This thread writes with the C locale's numbers.
class CNumbersOnThisThread {
public:
    CNumbersOnThisThread()
    {
        if (locale_t base = ::duplocale(LC_GLOBAL_LOCALE)) {
            c_ = ::newlocale(LC_NUMERIC_MASK, "C", base);
            if (!c_)
                ::freelocale(base);
        }
        if (c_)
            saved_ = ::uselocale(c_);
    }
    ~CNumbersOnThisThread()
    {
        if (c_) {
            ::uselocale(saved_);
            ::freelocale(c_);
        }
    }
    CNumbersOnThisThread(const CNumbersOnThisThread&) = delete;
    CNumbersOnThisThread& operator=(const CNumbersOnThisThread&) = delete;

private:
    locale_t c_ = nullptr;
    locale_t saved_ = nullptr;
};

}  // namespace

void write_xlsx(const Workbook& book, const std::string& path, const WriterOptions& options)
{
    const CNumbersOnThisThread c_numbers;
    lxw_workbook_options opts{};
    opts.constant_memory = options.constant_memory ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* wb = workbook_new_opt(path.c_str(), &opts);
    if (!wb)
        fail("Книга не записана: не удалось начать файл " + path);
    try {
        Formats formats(wb);
        for (const auto& sheet : book.sheets()) {
            const bool active = sheet.get() == book.active_sheet();
            if (sheet->is_chart())
                write_chart(wb, static_cast<const Chart&>(*sheet), active);
            else
                write_worksheet(wb, static_cast<const Worksheet&>(*sheet), formats, active);
        }
    } catch (...) {
        lxw_workbook_free(wb);
        throw;
    }
    errno = 0;
    const lxw_error closed = workbook_close(wb);
    check_close(closed, errno);
}

}  // namespace lekta::output
