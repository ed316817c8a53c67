#include "output/cell_range.h"

#include "output/spreadsheet_error.h"

#include <utility>

namespace lekta::output {

namespace {

// One "$F$3"-style reference starting at text[pos]; advances pos.
bool parse_cell(const QString& text, int& pos, int& row, int& column)
{
    if (pos < text.size() && text[pos] == '$')
        ++pos;
    long long col = 0;
    int letters = 0;
    while (pos < text.size() && letters < 4) {
        const QChar ch = text[pos].toUpper();
        if (ch < 'A' || ch > 'Z')
            break;
        col = col * 26 + (ch.unicode() - 'A' + 1);
        ++letters;
        ++pos;
    }
    if (letters == 0 || col > kMaxColumns)
        return false;
    if (pos < text.size() && text[pos] == '$')
        ++pos;
    long long r = 0;
    int digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 8) {
        r = r * 10 + (text[pos].unicode() - '0');
        ++digits;
        ++pos;
    }
    if (digits == 0 || r < 1 || r > kMaxRows)
        return false;
    row = static_cast<int>(r);
    column = static_cast<int>(col);
    return true;
}

}  // namespace

CellBox parse_range_text(const QString& text)
{
    CellBox box;
    int pos = 0;
    bool ok = parse_cell(text, pos, box.first_row, box.first_column);
    box.last_row = box.first_row;
    box.last_column = box.first_column;
    if (ok && pos < text.size()) {
        ok = text[pos] == ':';
        ++pos;
        ok = ok && parse_cell(text, pos, box.last_row, box.last_column);
    }
    if (!ok || pos != text.size())
        throw SpreadsheetError("Range(\"" + text.toStdString() + "\"): not a cell range");
    if (box.first_row > box.last_row)
        std::swap(box.first_row, box.last_row);
    if (box.first_column > box.last_column)
        std::swap(box.first_column, box.last_column);
    return box;
}

QString column_letters(int column)
{
    QString out;
    while (column > 0) {
        const int d = (column - 1) % 26;
        out.prepend(QChar('A' + d));
        column = (column - 1) / 26;
    }
    return out;
}

QString range_text(const CellBox& box)
{
    const QString first = column_letters(box.first_column) +
                          QString::fromStdString(std::to_string(box.first_row));
    if (box.rows() == 1 && box.columns() == 1)
        return first;
    return first + ":" + column_letters(box.last_column) +
           QString::fromStdString(std::to_string(box.last_row));
}

}  // namespace lekta::output
