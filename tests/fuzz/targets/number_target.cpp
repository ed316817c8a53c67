// Number texts under a decimal point and a decimal comma. The first byte of
// the input picks what the rest is:
//   0: a text typed by the operator or read back from a table: parse_number
//      and parse_integer take it or refuse it with ConvertError; what they
//      take reads the same under both separators, and its text reads back;
//   1: the bits of a double: number_text writes at most 15 significant
//      digits in the allowed characters, and the text reads back as the
//      value to those digits;
//   2: a 64-bit fixed-point value and a number of decimals: decimal_text
//      gives the same text as number_text of the quotient;
//   3: a 32-bit value and a number of decimals: scaled_text (the online
//      point table) gives the same text as number_text of the quotient.
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"

#include "common/number_text.h"
#include "online/link_protocol.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>

namespace lekta::fuzz {

namespace {

const char* const kSeparators[] = {".", ","};

struct Separator {
    explicit Separator(const char* sep) : saved(number_format().decimal_separator)
    {
        number_format().decimal_separator = sep;
    }
    ~Separator() { number_format().decimal_separator = saved; }
    std::string saved;
};

std::optional<double> parsed(const std::string& text)
{
    try {
        return parse_number(text);
    } catch (const ConvertError&) {
        return std::nullopt;
    }
}

long double power_of_ten(int n)
{
    long double p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

// The general format's own promises: allowed characters only, the
// separator at most once, at most 15 significant digits.
void check_general_format(const std::string& t, const std::string& sep)
{
    int digits = 0, separators = 0;
    bool leading = true;  // zeros before the first other digit do not count
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (t.compare(i, sep.size(), sep) == 0) {
            ++separators;
            i += sep.size() - 1;
        } else if (c >= '0' && c <= '9') {
            if (c != '0')
                leading = false;
            if (!leading)
                ++digits;
        } else if (c == 'E') {
            break;  // the exponent's digits are not significant
        } else {
            LEKTA_FUZZ_CHECK(c == '-', "'%s' holds '%c'", t.c_str(), c);
        }
    }
    LEKTA_FUZZ_CHECK(separators <= 1, "'%s' has %d separators", t.c_str(), separators);
    LEKTA_FUZZ_CHECK(digits <= 15, "'%s' has %d significant digits", t.c_str(), digits);
}

// A finite value's text reads back as the value to 15 significant digits.
// Only a value above the largest 15-digit number below the double range
// cannot: its rounded text lies outside the range.
void check_reads_back(double v)
{
    for (const char* sep : kSeparators) {
        Separator scoped(sep);
        const std::string t = number_text(v);
        LEKTA_FUZZ_CHECK(t == number_text(v, sep), "the separator in effect is not used");
        check_general_format(t, sep);
        const std::optional<double> back = parsed(t);
        if (std::fabs(v) > 1.79769313486231e308) {
            LEKTA_FUZZ_CHECK(!back || std::fabs(*back - v) <= 1e-14 * std::fabs(v), "'%s'",
                             t.c_str());
            continue;
        }
        LEKTA_FUZZ_CHECK(back.has_value(), "'%s' (from %.17g) does not read back", t.c_str(), v);
        const double tolerance = std::fabs(v) < DBL_MIN ? 1e-14 * DBL_MIN : 1e-14 * std::fabs(v);
        LEKTA_FUZZ_CHECK(std::fabs(*back - v) <= tolerance, "'%s' reads back as %.17g, not %.17g",
                         t.c_str(), *back, v);
    }
}

void check_text(const std::string& text)
{
    std::optional<double> by_separator[2];
    for (int k = 0; k < 2; ++k) {
        Separator scoped(kSeparators[k]);
        try {
            by_separator[k] = parse_number(text);
        } catch (const ConvertError&) {}
        if (by_separator[k]) {
            LEKTA_FUZZ_CHECK(std::isfinite(*by_separator[k]),
                             "'%s' reads as a value that is not finite", text.c_str());
            check_reads_back(*by_separator[k]);
        }
    }
    // What reads with a decimal point reads the same with a decimal comma
    // in effect: operators type either.
    if (by_separator[0])
        LEKTA_FUZZ_CHECK(by_separator[1] && *by_separator[1] == *by_separator[0],
                         "'%s' reads with '.' but not the same with ','", text.c_str());

    std::optional<long long> integer;
    try {
        integer = parse_integer(text);
    } catch (const ConvertError&) {}
    if (integer) {
        // Only an optional sign and 1 to 18 decimal digits are integers.
        std::size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
        LEKTA_FUZZ_CHECK(text.size() > i && text.size() - i <= 18, "'%s' taken as an integer",
                         text.c_str());
        long long v = 0;
        for (; i < text.size(); ++i) {
            LEKTA_FUZZ_CHECK(text[i] >= '0' && text[i] <= '9', "'%s' taken as an integer",
                             text.c_str());
            v = v * 10 + (text[i] - '0');
        }
        LEKTA_FUZZ_CHECK((text[0] == '-' ? -v : v) == *integer, "'%s' read as %lld", text.c_str(),
                         *integer);
    }
}

void check_double(double v)
{
    for (const char* sep : kSeparators) {
        const std::string t = number_text(v, sep);
        if (std::isnan(v)) {
            LEKTA_FUZZ_CHECK(t == "NAN", "NaN written as '%s'", t.c_str());
        } else if (std::isinf(v)) {
            LEKTA_FUZZ_CHECK(t == (v < 0 ? "-INF" : "INF"), "infinity written as '%s'", t.c_str());
        }
        if (!std::isfinite(v)) {
            Separator scoped(sep);
            LEKTA_FUZZ_CHECK(!parsed(t), "'%s' read as a number", t.c_str());
        }
    }
    if (std::isfinite(v))
        check_reads_back(v);
}

template <class T>
T take(const std::uint8_t* data, std::size_t size)
{
    T v{};
    std::memcpy(&v, data, std::min(size, sizeof v));
    return v;
}

}  // namespace

int number(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t kind = data[0] % 4;
    ++data;
    --size;
    switch (kind) {
    case 0: check_text(std::string(reinterpret_cast<const char*>(data), size)); break;
    case 1: check_double(take<double>(data, size)); break;
    case 2: {
        const auto value = take<long long>(data, size);
        const int decimals = size > 8 ? data[8] % 5 : 3;
        for (const char* sep : kSeparators) {
            Separator scoped(sep);
            const std::string exact = decimal_text(value, decimals);
            const std::string general = number_text(static_cast<long double>(value) /
                                                    power_of_ten(decimals));
            LEKTA_FUZZ_CHECK(exact == general,
                             "decimal_text(%lld, %d) = '%s', number_text gives '%s'", value,
                             decimals, exact.c_str(), general.c_str());
        }
        break;
    }
    case 3: {
        const auto value = take<std::int32_t>(data, size);
        const int decimals = size > 4 ? data[4] % 5 : 3;
        for (const char* sep : kSeparators) {
            Separator scoped(sep);
            const std::string quick = scaled_text(value, decimals);
            const std::string general = number_text(static_cast<long double>(value) /
                                                    power_of_ten(decimals));
            LEKTA_FUZZ_CHECK(quick == general, "scaled_text(%d, %d) = '%s', number_text gives '%s'",
                             value, decimals, quick.c_str(), general.c_str());
        }
        break;
    }
    }
    return 0;
}

}  // namespace lekta::fuzz
