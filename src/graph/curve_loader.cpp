#include "graph/curve_loader.h"

#include "common/number_text.h"
#include "testfile/errors.h"
#include "testfile/fields.h"

#include <algorithm>

namespace lekta {

namespace {

// Every record that fits the buffer: a larger count stops at the first one
// past its end, so nothing more is reserved.
constexpr std::int32_t kMostRecords = 64'000;

}  // namespace

QString point_text(std::int32_t raw, int decimals, const QString& separator)
{
    char16_t digits[12];  // a 32-bit magnitude has at most 10
    std::uint32_t v = raw < 0 ? 0u - static_cast<std::uint32_t>(raw)
                              : static_cast<std::uint32_t>(raw);
    int n = 0;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + v % 10);
        v /= 10;
    } while (v != 0);
    // digits[] holds the value backwards: fraction first. Trailing zeros of
    // the fraction go, and with them a separator that has nothing after it.
    int skip = 0;
    while (skip < decimals && (skip >= n || digits[skip] == u'0'))
        ++skip;
    const int fraction = decimals - skip;
    const int whole = std::max(n - decimals, 0);
    const bool negative = raw < 0;
    QString out;
    out.reserve(12 + separator.size());
    if (negative)
        out += QLatin1Char('-');
    if (whole == 0)
        out += QLatin1Char('0');
    for (int i = n - 1; i >= decimals; --i)
        out += QChar(digits[i]);
    // cppcheck-suppress knownConditionTrueFalse ; it holds whenever a fraction digit is not 0
    if (fraction > 0) {
        out += separator;
        for (int i = decimals - 1; i >= skip; --i)
            out += QChar(i < n ? digits[i] : u'0');
    }
    return out;
}

const QString& model_text(unsigned model_index)
{
    static const QString texts[] = {"50", "100", "200", "300", "500"};
    if (model_index > 4)
        throw RangeError();
    return texts[model_index];
}

QString graph_caption(unsigned model_index)
{
    return QStringLiteral("ЛЕКТА ") + model_text(model_index) + QStringLiteral("-ЗИВ8");
}

namespace {

// The length of point_text(raw, decimals, separator) with a separator of
// separator_size characters, without writing it.
int point_text_size(std::int32_t raw, int decimals, int separator_size)
{
    std::uint32_t v = raw < 0 ? 0u - static_cast<std::uint32_t>(raw)
                              : static_cast<std::uint32_t>(raw);
    int digits = 0, zeros = 0;
    bool trailing = true;
    do {
        const bool zero = v % 10 == 0;
        if (trailing && zero && digits < decimals)
            ++zeros;
        else
            trailing = false;
        ++digits;
        v /= 10;
    } while (v != 0);
    if (digits < decimals && trailing)
        zeros = decimals;  // the value is 0
    const int fraction = decimals - zeros;
    return (raw < 0 ? 1 : 0) + std::max(digits - decimals, 1) +
           (fraction > 0 ? separator_size + fraction : 0);
}

}  // namespace

PointTable::PointTable(std::vector<PointRecord> records, bool extensometer, QString separator)
    : records_(std::move(records)), extensometer_(extensometer), separator_(std::move(separator)),
      longest_(3)
{
    auto longest_text = [&](std::int32_t PointRecord::*field, int decimals) {
        int best = -1;
        std::int32_t best_raw = 0;
        for (const PointRecord& r : records_) {
            const int size = point_text_size(r.*field, decimals,
                                             static_cast<int>(separator_.size()));
            if (size > best) {
                best = size;
                best_raw = r.*field;
            }
        }
        return best < 0 ? QString() : point_text(best_raw, decimals, separator_);
    };
    longest_[0] = longest_text(&PointRecord::f, 3);
    longest_[1] = longest_text(&PointRecord::h, 3);
    if (extensometer_)
        longest_[2] = longest_text(&PointRecord::he, 4);
}

QString PointTable::text(int column, int row) const
{
    const PointRecord& r = records_.at(static_cast<std::size_t>(row));
    switch (column) {
    case 0: return point_text(r.f, 3, separator_);
    case 1: return point_text(r.h, 3, separator_);
    case 2: return extensometer_ ? point_text(r.he, 4, separator_) : QString();
    }
    return {};
}

LoadedCurve read_curve(const std::function<bool(std::int32_t po, std::int32_t n)>& progress)
{
    LoadedCurve out;
    out.caption = graph_caption(read_byte(kModelIndex));
    out.extensometer = read_byte(kMode) == kExtensometerMode;
    const std::int32_t n = point_count();
    out.point_count = n;
    const auto reserve = static_cast<std::size_t>(std::clamp(n, 0, kMostRecords));
    out.travel.reserve(reserve);
    if (out.extensometer)
        out.extension.reserve(reserve);
    std::vector<PointRecord> records;
    records.reserve(reserve);
    for (std::int32_t po = 1; po <= n; ++po) {
        const PointRecord r = point_record(po - 1);
        // Loads in N and travel in µm read as kN and mm; the extensometer
        // counts tenths of a micrometre.
        const double f = r.f / 1000.0;
        const double h = r.h / 1000.0;
        if (f >= 0)
            out.travel.push_back({h, f});
        if (out.extensometer)
            out.extension.push_back({r.he / 10000.0, f});
        records.push_back(r);
        if (progress && !progress(po, n))
            break;
    }
    out.table = std::make_shared<PointTable>(
        std::move(records), out.extensometer,
        QString::fromStdString(number_format().decimal_separator));
    if (progress && out.table->rows() < std::max(n, 0))
        return out;  // stopped part-way
    out.yield_load = static_cast<std::int32_t>(tail_u32(Tail::YieldLoad)) / 1000.0;
    return out;
}

}  // namespace lekta
