// Exports against a bare libxlsxwriter program writing the same cells (and
// charts) in the same mode, in the same run: (a) a catalogue of 10,000 rows,
// (b) the largest graph table, 63,996 rows, with its two charts. The
// argument is the writer mode: 1 constant memory, 0 in memory.
#include <benchmark/benchmark.h>

#include "common/number_text.h"
#include "output/catalogue_export.h"
#include "output/curve_export.h"
#include "output/progress_sink.h"
#include "output/text_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <xlsxwriter.h>

#include <string>
#include <vector>

namespace {

using namespace lekta;
using namespace lekta::output;

class Table : public TextTable {
public:
    std::vector<std::vector<QString>> rows;
    int RowCount() const override { return static_cast<int>(rows.size()); }
    const QString& Cell(int column, int row) const override
    {
        return rows[static_cast<size_t>(row)][static_cast<size_t>(column)];
    }
};

struct NoProgress : ExportProgress {
    void begin(const QString&) override {}
    void set_maximum(int) override {}
    void set_position(int) override {}
    void end() override {}
};

QString num(double v)
{
    return QString::fromStdString(number_text(v));
}

const Table& catalogue()
{
    static Table t = [] {
        Table t;
        for (int k = 0; k < 10000; ++k) {
            std::vector<QString> r = {QString("t%1.bmd").arg(k),
                                      QString::number(k % 50),
                                      QString::number(k % 9),
                                      "12.03.2024",
                                      "10:15:00",
                                      "Растяжение",
                                      "Круг",
                                      "10",
                                      num(78.5),
                                      num(2.5)};
            for (int c = 0; c < 7; ++c)
                r.push_back(num(100 + k * 0.125 + c));
            t.rows.push_back(std::move(r));
        }
        return t;
    }();
    return t;
}

const Table& curve()
{
    static Table t = [] {
        Table t;
        for (int k = 0; k < 63996; ++k)
            t.rows.push_back({num(k * 0.001 + 0.5), num(k * 0.0005), num(k * 0.00005)});
        return t;
    }();
    return t;
}

std::string out_path(const QTemporaryDir& dir)
{
    return QDir(dir.path()).filePath("bare.xlsx").toStdString();
}

lxw_workbook* bare_book(const std::string& path, bool constant)
{
    lxw_workbook_options o{};
    o.constant_memory = constant;
    return workbook_new_opt(path.c_str(), &o);
}

void bare_title_rows(lxw_workbook* wb, lxw_worksheet* ws, lxw_format*& bold)
{
    lxw_format* title = workbook_add_format(wb);
    format_set_bold(title);
    format_set_font_color(title, 0x0000FF);
    format_set_font_size(title, 14);
    bold = workbook_add_format(wb);
    format_set_bold(bold);
    worksheet_set_row(ws, 0, 18.75, title);
    worksheet_set_row(ws, 1, LXW_DEF_ROW_HEIGHT, bold);
}

void BM_CatalogueExport(benchmark::State& state)
{
    const Table& t = catalogue();
    QTemporaryDir dir;
    ApplicationOptions o{dir.path(), nullptr, {state.range(0) != 0}};
    NoProgress progress;
    for (auto _ : state) {
        const QString path = exp2excel(t, progress, o);
        QFile::remove(path);
    }
    state.SetItemsProcessed(state.iterations() * t.RowCount());
}

void BM_CatalogueBare(benchmark::State& state)
{
    const Table& t = catalogue();
    QTemporaryDir dir;
    const std::string path = out_path(dir);
    const char* const* headers = kCatalogueHeaders;
    for (auto _ : state) {
        lxw_workbook* wb = bare_book(path, state.range(0) != 0);
        lxw_worksheet* ws = workbook_add_worksheet(wb, "ЛЕКТА-ЗИВ8");
        lxw_format* date = workbook_add_format(wb);
        format_set_num_format(date, "DD/MM/YYYY H:MM:SS");
        worksheet_set_column(ws, 0, 15, 20, nullptr);
        worksheet_set_column(ws, 3, 3, 20, date);
        lxw_format* bold;
        bare_title_rows(wb, ws, bold);
        lxw_format* bold_date = workbook_add_format(wb);
        format_set_bold(bold_date);
        format_set_num_format(bold_date, "DD/MM/YYYY H:MM:SS");
        for (int c = 0; c < 16; ++c)
            worksheet_write_string(ws, 1, static_cast<lxw_col_t>(c), headers[c],
                                   c == 3 ? bold_date : bold);
        for (int k = 0; k < t.RowCount(); ++k) {
            const auto row = static_cast<lxw_row_t>(k + 2);
            const auto& r = t.rows[static_cast<size_t>(k)];
            for (int c = 0; c < 9; ++c) {
                const int g = c < 4 ? c : c + 1;
                const std::string s = c == 3 ? (r[3] + " / " + r[4]).toStdString()
                                             : r[static_cast<size_t>(g)].toStdString();
                worksheet_write_string(ws, row, static_cast<lxw_col_t>(c), s.c_str(),
                                       c == 3 ? date : nullptr);
            }
            for (int c = 10; c <= 16; ++c)
                worksheet_write_number(ws, row, static_cast<lxw_col_t>(c - 1),
                                       parse_number(r[static_cast<size_t>(c)].toStdString()),
                                       nullptr);
        }
        workbook_close(wb);
    }
    state.SetItemsProcessed(state.iterations() * t.RowCount());
}

void BM_GraphExport(benchmark::State& state)
{
    const Table& t = curve();
    QTemporaryDir dir;
    ApplicationOptions o{dir.path(), nullptr, {state.range(0) != 0}};
    for (auto _ : state) {
        const QString path = excelgo2({t, "Образец 1", 24.35, 21.1}, o);
        QFile::remove(path);
    }
    state.SetItemsProcessed(state.iterations() * t.RowCount());
}

void bare_chart(lxw_workbook* wb, const char* name, int x, const char* category)
{
    lxw_chartsheet* cs = workbook_add_chartsheet(wb, name);
    lxw_chart* ch = workbook_add_chart(wb, LXW_CHART_SCATTER_SMOOTH);
    for (int c = x + 1; c <= x + 2; ++c) {
        lxw_chart_series* s = chart_add_series(ch, nullptr, nullptr);
        chart_series_set_categories(s, "ЛЕКТА-ЗИВ8", 2, static_cast<lxw_col_t>(x), 63997,
                                    static_cast<lxw_col_t>(x));
        chart_series_set_values(s, "ЛЕКТА-ЗИВ8", 2, static_cast<lxw_col_t>(c), 63997,
                                static_cast<lxw_col_t>(c));
    }
    lxw_chart_font font{};
    font.size = 12;
    chart_axis_set_name(ch->x_axis, category);
    chart_axis_set_name_font(ch->x_axis, &font);
    chart_axis_set_name(ch->y_axis, "F, кН");
    chart_axis_set_name_font(ch->y_axis, &font);
    chart_legend_set_position(ch, LXW_CHART_LEGEND_NONE);
    chartsheet_set_chart(cs, ch);
}

void BM_GraphBare(benchmark::State& state)
{
    const Table& t = curve();
    QTemporaryDir dir;
    const std::string path = out_path(dir);
    for (auto _ : state) {
        lxw_workbook* wb = bare_book(path, state.range(0) != 0);
        lxw_worksheet* ws = workbook_add_worksheet(wb, "ЛЕКТА-ЗИВ8");
        worksheet_set_column(ws, 0, 1, 10, nullptr);
        lxw_format* bold;
        bare_title_rows(wb, ws, bold);
        worksheet_write_string(ws, 0, 1, "Образец 1", nullptr);
        const char* h[6] = {"H Δe, мм ", "F, кН ", "F0.2, кН  ", "H Δ, мм", "F, кН  ", "Ft, кН  "};
        const lxw_col_t cols[6] = {1, 2, 3, 5, 6, 7};
        for (int i = 0; i < 6; ++i)
            worksheet_write_string(ws, 1, cols[i], h[i], bold);
        for (int k = 0; k < t.RowCount(); ++k) {
            const auto row = static_cast<lxw_row_t>(k + 2);
            const auto& r = t.rows[static_cast<size_t>(k)];
            const double f = parse_number(r[0].toStdString()),
                         hd = parse_number(r[1].toStdString()),
                         he = parse_number(r[2].toStdString());
            worksheet_write_number(ws, row, 1, he, nullptr);
            worksheet_write_number(ws, row, 2, f, nullptr);
            worksheet_write_number(ws, row, 3, 21.1, nullptr);
            worksheet_write_number(ws, row, 5, hd, nullptr);
            worksheet_write_number(ws, row, 6, f, nullptr);
            worksheet_write_number(ws, row, 7, 24.35, nullptr);
        }
        bare_chart(wb, "Диаграмма1", 5, "H Δ, мм");
        bare_chart(wb, "Диаграмма2", 1, "H Δe, мм");
        workbook_close(wb);
    }
    state.SetItemsProcessed(state.iterations() * t.RowCount());
}

BENCHMARK(BM_CatalogueExport)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CatalogueBare)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphExport)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphBare)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
