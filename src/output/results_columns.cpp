#include "output/results_columns.h"

namespace lekta::output {

namespace {
QString text_of(const std::string& s)
{
    return QString::fromStdString(s);
}
}  // namespace

void write_results_columns(Worksheet& sheet, const analysis::ComparedResults& results)
{
    using namespace analysis;
    const int name = kResultsFirstColumn, value = name + 1, stored = name + 2,
              difference = name + 3;
    sheet.Cells(1, name) = QStringLiteral("Результаты по кривой");
    sheet.Cells(2, name) = QStringLiteral("Величина");
    sheet.Cells(2, value) = QStringLiteral("По кривой");
    sheet.Cells(2, stored) = QStringLiteral("Прибор");
    sheet.Cells(2, difference) = QStringLiteral("Разница, %");
    int row = 3;
    for (Quantity q : quantities()) {
        const Unit unit = unit_of(q);
        const int decimals = decimals_of(unit);
        QString caption = text_of(symbol(q)) + ", " + text_of(unit_text(unit));
        if (!stored_symbol(q).empty())
            caption += " (" + text_of(stored_symbol(q)) + ")";
        sheet.Cells(row, name) = caption;
        const Result& r = results.computed[q];
        if (r.present())
            sheet.Cells(row, value).Value = rounded(r.value, decimals);
        else
            sheet.Cells(row, value) = text_of(absence_text(r.absence));
        if (const std::optional<double>& s = results.stored_of(q))
            sheet.Cells(row, stored).Value = *s;
        if (const std::optional<double> d = results.difference_percent(q))
            sheet.Cells(row, difference).Value = rounded(*d, 2);
        ++row;
    }
    // The elastic line the proof strength rests on: E, then R² named with
    // the method and range.
    const ElasticFit& e = results.computed.elastic;
    sheet.Cells(row, name) = QStringLiteral("E, ГПа");
    if (!e.present()) {
        sheet.Cells(row, value) = text_of(absence_text(e.absence));
        return;
    }
    sheet.Cells(row, value).Value = rounded(e.modulus_gpa, 1);
    ++row;
    sheet.Cells(row, name) = QStringLiteral("R² (") + text_of(elastic_method_text(e)) + ")";
    sheet.Cells(row, value).Value = rounded(e.r_squared, 4);
}

}  // namespace lekta::output
