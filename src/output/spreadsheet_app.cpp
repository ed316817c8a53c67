#include "output/spreadsheet_app.h"

#include "output/copy_store.h"
#include "ui/dialogs.h"

#include <QFileInfo>
#include <algorithm>

namespace lekta::output {

namespace {

[[noreturn]] void fail(const QString& text)
{
    throw SpreadsheetError(text.toStdString());
}

QString num(long long v)
{
    return QString::fromStdString(std::to_string(v));
}

}  // namespace

// ---- cells, rows, columns -------------------------------------------------

CellRef& CellRef::operator=(const QString& text)
{
    if (text.isEmpty())
        cells_->clear(row_, column_);  // the outside program emptied a cell given ""
    else
        cells_->set_text(row_, column_, text.toStdString());
    return *this;
}

CellRef& CellRef::operator=(double value)
{
    cells_->set_number(row_, column_, value);
    return *this;
}

void FontRef::Color(std::int32_t bgr)
{
    if (bgr < 0 || bgr > 0xFFFFFF)
        fail("Font.Color " + num(bgr) + ": not a colour value");
    font_->color = bgr;
}

void FontRef::Size(int points)
{
    if (points < 1 || points > 409)
        fail("Font.Size " + num(points) + ": outside 1 to 409 points");
    font_->size = points;
}

void ColumnRef::ColumnWidth(double characters)
{
    if (!(characters >= 0 && characters <= 255))
        fail("Columns(" + num(column_) + ").ColumnWidth: outside 0 to 255 characters");
    format_->width = characters;
}

void AxisTitleFont::Size(int points)
{
    if (points < 1 || points > 409)
        fail("AxisTitle.Font.Size " + num(points) + ": outside 1 to 409 points");
    *size_ = points;
}

// ---- sheets ---------------------------------------------------------------

void Sheet::Name(const QString& name)
{
    static const QString forbidden = QStringLiteral("[]:*?/\\");
    bool ok = !name.isEmpty() && name.size() <= 31 && !name.startsWith('\'') &&
              !name.endsWith('\'');
    for (QChar ch : name)
        ok = ok && !forbidden.contains(ch);
    if (!ok)
        fail("Name \"" + name + "\": not a valid sheet name");
    for (const auto& other : book_->sheets_)
        if (other.get() != this && other->name_.compare(name, Qt::CaseInsensitive) == 0)
            fail("Name \"" + name + "\": the workbook has a sheet of that name");
    name_ = name;
}

SheetRange Sheet::UsedRange() const
{
    fail("UsedRange: the chart sheet \"" + name_ + "\" has no cells");
}

SheetRange Sheet::Range(const QString& text) const
{
    fail("Range(\"" + text + "\"): the chart sheet \"" + name_ + "\" has no cells");
}

ColumnRef Worksheet::Columns(int column)
{
    if (column < 1 || column > kMaxColumns)
        fail("Columns(" + num(column) + "): outside the sheet");
    if (static_cast<size_t>(column) > columns_.size())
        columns_.resize(static_cast<size_t>(column));
    return ColumnRef(columns_[static_cast<size_t>(column - 1)], column);
}

RowRef Worksheet::Rows(int row)
{
    if (row < 1 || row > kMaxRows)
        fail("Rows(" + num(row) + "): outside the sheet");
    if (static_cast<size_t>(row) > rows_.size())
        rows_.resize(static_cast<size_t>(row));
    return RowRef(rows_[static_cast<size_t>(row - 1)]);
}

const ColumnFormat* Worksheet::column_format(int column) const
{
    if (column < 1 || static_cast<size_t>(column) > columns_.size())
        return nullptr;
    return &columns_[static_cast<size_t>(column - 1)];
}

const RowFont* Worksheet::row_font(int row) const
{
    if (row < 1 || static_cast<size_t>(row) > rows_.size())
        return nullptr;
    return &rows_[static_cast<size_t>(row - 1)];
}

SheetRange Worksheet::UsedRange() const
{
    CellBox numbers;
    if (cells_.bounds(Cell::Kind::Number, numbers)) {
        // Take in the captions straight above the numbers.
        const int above = numbers.first_row - 1;
        bool captions = false;
        for (int c = numbers.first_column; c <= numbers.last_column && above >= 1; ++c)
            if (const Cell* cell = cells_.cell(above, c); cell && cell->kind == Cell::Kind::Text)
                captions = true;
        if (captions)
            numbers.first_row = above;
        return SheetRange(*this, numbers);
    }
    CellBox any;
    if (cells_.any_bounds(any))
        return SheetRange(*this, any);
    return SheetRange(*this, CellBox{});
}

// ---- charts ---------------------------------------------------------------

Axis AxisList::Item(int kind)
{
    if (kind != kCategoryAxis && kind != kValueAxis)
        fail("Axes.Item(" + num(kind) +
             "): the chart has a category axis (1) and a value axis (2)");
    return Axis(chart_->axes_[kind - 1]);
}

AxisTitleRef Axis::AxisTitle()
{
    if (!state_->has_title)
        fail("AxisTitle: the axis has no title (HasTitle is off)");
    return AxisTitleRef(*state_);
}

void Chart::ChartType(int type)
{
    if (type != kSmoothScatterNoMarkers)
        fail("ChartType " + num(type) +
             ": only the smoothed XY scatter without markers (73) is drawn");
    type_ = type;
}

void Chart::SetSourceData(const SheetRange& Source, int PlotBy)
{
    if (PlotBy != kPlotByColumns)
        fail("SetSourceData PlotBy " + num(PlotBy) + ": series are taken by columns (2) only");
    bool ours = false;
    for (const auto& s : book_->sheets())
        ours = ours || s.get() == &Source.sheet();
    if (!ours)
        fail("SetSourceData: the range " + Source.Address() +
             " is not on a sheet of this workbook");
    source_ = Source;
}

void Chart::NewSeries(const SheetRange& x, const SheetRange& y, const QString& name,
                      std::optional<std::int32_t> color)
{
    for (const SheetRange* r : {&x, &y}) {
        bool ours = false;
        for (const auto& s : book_->sheets())
            ours = ours || s.get() == &r->sheet();
        if (!ours)
            fail("NewSeries: the range " + r->Address() + " is not on a sheet of this workbook");
        if (r->box().columns() != 1)
            fail("NewSeries: the range " + r->Address() + " is not one column");
    }
    if (x.box().rows() != y.box().rows())
        fail("NewSeries: " + x.Address() + " and " + y.Address() + " differ in length");
    xy_.push_back({x, y, name, color});
}

Chart& ChartList::Add()
{
    auto chart = std::make_unique<Chart>(*book_);
    Chart& made = *chart;
    // Chart sheets follow the data sheet in the order they were made, so
    // the workbook opens on its data and reads left to right.
    book_->sheets_.push_back(std::move(chart));
    ++book_->charts_made_;
    QString name;
    for (int n = book_->charts_made_;; ++n) {
        name = QStringLiteral("Диаграмма") + num(n);
        const bool taken = std::any_of(
            book_->sheets_.begin(), book_->sheets_.end(),
            [&](const auto& s) { return s->Name().compare(name, Qt::CaseInsensitive) == 0; });
        if (!taken)
            break;
    }
    made.name_ = name;
    book_->active_ = book_->sheets_.size() - 1;
    return made;
}

int ChartList::Count() const
{
    return static_cast<int>(std::count_if(book_->sheets_.begin(), book_->sheets_.end(),
                                          [](const auto& s) { return s->is_chart(); }));
}

// ---- workbooks ------------------------------------------------------------

Workbook::Workbook(Application& app) : app_(&app)
{
    auto sheet = std::make_unique<Worksheet>(*this);
    sheet->name_ = QStringLiteral("Лист1");
    sheets_.push_back(std::move(sheet));
}

Worksheet& Workbook::WorkSheets(int index)
{
    app_->check_running();
    int n = 0;
    for (const auto& s : sheets_)
        if (!s->is_chart() && ++n == index)
            return static_cast<Worksheet&>(*s);
    fail("WorkSheets(" + num(index) + "): the workbook has " + num(n) + " worksheet(s)");
}

Worksheet& Workbook::WorkSheets(const QString& name)
{
    app_->check_running();
    for (const auto& s : sheets_)
        if (!s->is_chart() && s->Name().compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<Worksheet&>(*s);
    fail("WorkSheets(\"" + name + "\"): the workbook has no worksheet of that name");
}

Sheet& Workbook::ActiveSheet()
{
    app_->check_running();
    return *sheets_[active_];
}

void Workbook::SaveCopyAs(const QString& FileName)
{
    app_->check_running();
    app_->stored_copy_ = store_copy(*this, app_->options_.default_dir, FileName,
                                    app_->options_.writer);
}

Workbook& WorkbookList::Add(int template_kind)
{
    app_->check_running();
    if (template_kind != kWorksheetTemplate)
        fail("Workbooks.Add(" + num(template_kind) +
             "): only a workbook of one worksheet (-4167) is made");
    app_->books_.push_back(std::make_unique<Workbook>(*app_));
    return *app_->books_.back();
}

int WorkbookList::Count() const
{
    return static_cast<int>(app_->books_.size());
}

// ---- the application ------------------------------------------------------

Application::Application(ApplicationOptions options) : options_(std::move(options)) {}

Application::~Application() = default;

void Application::check_running() const
{
    if (quit_)
        fail("The spreadsheet application has quit");
}

WorkbookList Application::Workbooks()
{
    check_running();
    return WorkbookList(*this);
}

Workbook& Application::Workbooks(int index)
{
    check_running();
    if (index < 1 || static_cast<size_t>(index) > books_.size())
        fail("Workbooks(" + num(index) + "): " + num(static_cast<long long>(books_.size())) +
             " workbook(s) open");
    return *books_[static_cast<size_t>(index - 1)];
}

Workbook& Application::ActiveWorkbook()
{
    check_running();
    if (books_.empty())
        fail("ActiveWorkbook: no workbook is open");
    return *books_.back();
}

void Application::Visible(bool on)
{
    check_running();
    visible_ = on;
    // There is no window of our own to show: the stored copy is what the
    // operator wants to see, in the desktop's spreadsheet program.
    if (on && !stored_copy_.isEmpty() && options_.dialogs && QFileInfo::exists(stored_copy_))
        options_.dialogs->open_document(stored_copy_);
}

void Application::Quit()
{
    // The workbook itself is never stored on quitting: only SaveCopyAs writes.
    quit_ = true;
    books_.clear();
}

}  // namespace lekta::output
