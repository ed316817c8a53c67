#pragma once
// The in-process spreadsheet application the exports drive. Its members are
// named after the automation calls the exports make, one call per member:
//
//   Application app(options);
//   Workbook& book = app.Workbooks().Add(-4167);
//   app.Workbooks(1).WorkSheets(1).Name("ЛЕКТА-ЗИВ8");
//   Worksheet& sheet = app.Workbooks(1).WorkSheets("ЛЕКТА-ЗИВ8");
//   sheet.Columns(1).ColumnWidth(20);
//   sheet.Rows(1).Font().Color(16711680);
//   sheet.Cells(3, 1) = QString("text");   sheet.Cells(3, 2).Value = 1.5;
//   Chart& chart = book.Charts().Add();  chart.ChartType(73);
//   chart.SetSourceData(sheet.Range("F3:H10"), 2);
//   chart.Axes().Item(2).AxisTitle().Caption("F, кН");
//   app.ActiveWorkbook().SaveCopyAs("ЛЕКТА-ЗИВ8");  app.Visible(true);  app.Quit();
//
// A property is set by calling it with the value and read by calling it
// without. A call on something that does not exist (sheet 2, a bad range
// text, a chart type it does not draw, anything after Quit) throws
// SpreadsheetError, as the outside server failed such a call.
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "output/cell_range.h"
#include "output/sheet_cells.h"
#include "output/spreadsheet_error.h"
#include "output/xlsx_writer.h"

namespace lekta::ui {
class Dialogs;
}

namespace lekta::output {

class Application;
class Workbook;
class Worksheet;

// The workbook template the exports ask for: one worksheet.
constexpr int kWorksheetTemplate = -4167;
// Smoothed XY scatter without markers: the only chart type drawn.
constexpr int kSmoothScatterNoMarkers = 73;
constexpr int kPlotByColumns = 2;
constexpr int kCategoryAxis = 1;
constexpr int kValueAxis = 2;

struct RowFont {
    std::optional<bool> bold;
    std::optional<std::int32_t> color;  // 0x00BBGGRR
    std::optional<int> size;            // points
    bool any() const { return bold || color || size; }
    bool operator==(const RowFont&) const = default;
};

struct ColumnFormat {
    std::optional<double> width;  // characters
    QString number_format;        // as given, in the operator's spelling
};

// A rectangle of cells on one worksheet.
class SheetRange {
public:
    SheetRange(const Worksheet& sheet, CellBox box) : sheet_(&sheet), box_(box) {}
    const Worksheet& sheet() const { return *sheet_; }
    const CellBox& box() const { return box_; }
    QString Address() const { return range_text(box_); }

private:
    const Worksheet* sheet_;
    CellBox box_;
};

// Cells(row, column): takes a text, an 8-byte float or an integer; Value
// takes a float. An empty text empties the cell.
class CellRef {
public:
    CellRef(SheetCells& cells, int row, int column)
        : Value{cells, row, column}, cells_(&cells), row_(row), column_(column)
    {}
    CellRef& operator=(const QString& text);
    CellRef& operator=(double value);
    CellRef& operator=(int value) { return *this = static_cast<double>(value); }
    CellRef& operator=(long long value) { return *this = static_cast<double>(value); }

    struct ValueRef {
        SheetCells& cells;
        int row, column;
        void operator=(double value) { cells.set_number(row, column, value); }
    } Value;

private:
    SheetCells* cells_;
    int row_, column_;
};

class FontRef {
public:
    explicit FontRef(RowFont& font) : font_(&font) {}
    void Bold(bool on) { font_->bold = on; }
    void Color(std::int32_t bgr);
    void Size(int points);

private:
    RowFont* font_;
};

class RowRef {
public:
    explicit RowRef(RowFont& font) : font_(&font) {}
    FontRef Font() { return FontRef(*font_); }

private:
    RowFont* font_;
};

class ColumnRef {
public:
    ColumnRef(ColumnFormat& format, int column) : format_(&format), column_(column) {}
    void ColumnWidth(double characters);
    void NumberFormat(const QString& code) { format_->number_format = code; }

private:
    ColumnFormat* format_;
    int column_;
};

// A worksheet or a chart sheet of a workbook.
class Sheet {
public:
    explicit Sheet(Workbook& book) : book_(&book) {}
    virtual ~Sheet() = default;
    const QString& Name() const { return name_; }
    void Name(const QString& name);  // validated, unique in the workbook
    virtual SheetRange UsedRange() const;
    // Only a worksheet has cells: on a chart sheet both throw.
    virtual SheetRange Range(const QString& text) const;
    virtual bool is_chart() const = 0;

protected:
    Workbook* book_;
    QString name_;
    friend class Workbook;
    friend class ChartList;
};

class Worksheet : public Sheet {
public:
    using Sheet::Sheet;
    ColumnRef Columns(int column);
    RowRef Rows(int row);
    CellRef Cells(int row, int column) { return CellRef(cells_, row, column); }
    SheetRange Range(const QString& text) const override
    {
        return SheetRange(*this, parse_range_text(text));
    }
    // The block the sheet's data spans: the rows and columns of its numbers,
    // with the row of captions straight above them. Texts elsewhere (a title,
    // captions of columns that hold no numbers yet) do not widen it, so a
    // chart made from it covers the curve columns only. A sheet without
    // numbers spans its texts; an empty sheet gives A1.
    SheetRange UsedRange() const override;
    bool is_chart() const override { return false; }

    // For the writer.
    const SheetCells& cells() const { return cells_; }
    const ColumnFormat* column_format(int column) const;
    const RowFont* row_font(int row) const;
    int formatted_columns() const { return static_cast<int>(columns_.size()); }
    int formatted_rows() const { return static_cast<int>(rows_.size()); }

private:
    SheetCells cells_;
    std::vector<ColumnFormat> columns_;  // index column - 1
    std::vector<RowFont> rows_;          // index row - 1
};

class AxisTitleFont {
public:
    explicit AxisTitleFont(int& size) : size_(&size) {}
    void Size(int points);

private:
    int* size_;
};

struct AxisState {
    bool has_title = false;
    QString caption;
    int title_size = 10;
};

class AxisTitleRef {
public:
    explicit AxisTitleRef(AxisState& axis) : axis_(&axis) {}
    void Caption(const QString& text) { axis_->caption = text; }
    const QString& Caption() const { return axis_->caption; }
    AxisTitleFont Font() { return AxisTitleFont(axis_->title_size); }

private:
    AxisState* axis_;
};

class Axis {
public:
    explicit Axis(AxisState& state) : state_(&state) {}
    void HasTitle(bool on) { state_->has_title = on; }
    bool HasTitle() const { return state_->has_title; }
    AxisTitleRef AxisTitle();  // throws unless HasTitle is on

private:
    AxisState* state_;
};

class Chart;
class AxisList {
public:
    explicit AxisList(Chart& chart) : chart_(&chart) {}
    Axis Item(int kind);  // 1 category (x) axis, 2 value (y) axis

private:
    Chart* chart_;
};

// A series with x and y columns of its own (SeriesCollection.NewSeries):
// curves of different lengths and abscissas on one chart.
struct XYSeries {
    SheetRange x;
    SheetRange y;
    QString name;
    std::optional<std::int32_t> color;  // 0x00BBGGRR; the chart's own colour without
};

// A chart sheet. Series by columns of its source: the first column gives x,
// every other column one series; a first row of captions names them.
// Series added with NewSeries follow those.
class Chart : public Sheet {
public:
    using Sheet::Sheet;
    void ChartType(int type);
    int ChartType() const { return type_; }
    void SetSourceData(const SheetRange& Source, int PlotBy);
    // x and y: one column each of the same number of rows, on a worksheet
    // of this workbook.
    void NewSeries(const SheetRange& x, const SheetRange& y, const QString& name,
                   std::optional<std::int32_t> color = std::nullopt);
    void HasLegend(bool on) { legend_ = on; }
    bool HasLegend() const { return legend_; }
    AxisList Axes() { return AxisList(*this); }
    bool is_chart() const override { return true; }
    const std::vector<XYSeries>& xy_series() const { return xy_; }

    // For the writer.
    const std::optional<SheetRange>& source() const { return source_; }
    const AxisState& category_axis() const { return axes_[0]; }
    const AxisState& value_axis() const { return axes_[1]; }

private:
    friend class AxisList;
    int type_ = 51;  // the outside program started a new chart as clustered columns
    std::optional<SheetRange> source_;
    std::vector<XYSeries> xy_;
    bool legend_ = false;
    AxisState axes_[2];
};

class ChartList {
public:
    explicit ChartList(Workbook& book) : book_(&book) {}
    Chart& Add();  // the new chart sheet becomes the active sheet
    int Count() const;

private:
    Workbook* book_;
};

class Workbook {
public:
    explicit Workbook(Application& app);
    Worksheet& WorkSheets(int index);
    Worksheet& WorkSheets(const QString& name);
    ChartList Charts() { return ChartList(*this); }
    Sheet& ActiveSheet();
    // Stores the workbook as FileName + ".xlsx" in the application's default
    // directory, never over an existing file (see copy_store.h).
    void SaveCopyAs(const QString& FileName);

    // For the writer: every sheet in workbook order.
    const std::vector<std::unique_ptr<Sheet>>& sheets() const { return sheets_; }
    const Sheet* active_sheet() const { return sheets_[active_].get(); }

private:
    friend class ChartList;
    friend class Sheet;
    Application* app_;
    std::vector<std::unique_ptr<Sheet>> sheets_;
    size_t active_ = 0;
    int charts_made_ = 0;
};

class WorkbookList {
public:
    explicit WorkbookList(Application& app) : app_(&app) {}
    Workbook& Add(int template_kind);
    int Count() const;

private:
    Application* app_;
};

struct ApplicationOptions {
    QString default_dir;             // Default_dir: where SaveCopyAs stores
    ui::Dialogs* dialogs = nullptr;  // Visible opens the stored copy through it
    WriterOptions writer;
};

class Application {
public:
    explicit Application(ApplicationOptions options);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    WorkbookList Workbooks();
    Workbook& Workbooks(int index);
    Workbook& ActiveWorkbook();
    // True opens the copy stored last with the desktop's handler.
    void Visible(bool on);
    bool Visible() const { return visible_; }
    void Quit();

    // Full path of the copy SaveCopyAs stored, empty until one was stored.
    const QString& stored_copy() const { return stored_copy_; }
    bool quit() const { return quit_; }

private:
    friend class Workbook;
    friend class WorkbookList;
    void check_running() const;
    ApplicationOptions options_;
    std::vector<std::unique_ptr<Workbook>> books_;
    QString stored_copy_;
    bool visible_ = false;
    bool quit_ = false;
};

}  // namespace lekta::output
