#include "common/number_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace lekta {

NumberFormat& number_format()
{
    static NumberFormat format;
    return format;
}

std::string number_text(long double value)
{
    return number_text(value, number_format().decimal_separator);
}

std::string number_text(long double value, const std::string& separator)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0";

    // Fifteen significant digits, rounded once; the exponent decides the form.
    // std::to_chars never looks at the C library's locale, which the
    // application object sets from the environment (a decimal comma under
    // Russian settings).
    char sci[64];
    const auto r = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, 14);
    const std::string s(sci, r.ptr);
    const auto epos = s.find('e');
    int exponent = 0;
    std::from_chars(s.data() + epos + (s[epos + 1] == '+' ? 2 : 1), s.data() + s.size(), exponent);
    std::string mantissa = s.substr(0, epos);
    const bool negative = mantissa[0] == '-';
    if (negative)
        mantissa.erase(0, 1);
    std::string digits;
    for (char c : mantissa)
        if (c >= '0' && c <= '9')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -5) {
        out += digits[0];
        if (digits.size() > 1)
            out += separator + digits.substr(1);
        out += 'E';
        out += exponent < 0 ? "-" : "";
        out += std::to_string(std::abs(exponent));
        return out;
    }
    if (exponent < 0) {
        out += "0" + separator + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
        return out;
    }
    const size_t int_len = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= int_len) {
        out += digits + std::string(int_len - digits.size(), '0');
    } else {
        out += digits.substr(0, int_len) + separator + digits.substr(int_len);
    }
    return out;
}

std::string decimal_text(long long value, int decimals)
{
    const bool negative = value < 0;
    unsigned long long v = negative ? 0ULL - static_cast<unsigned long long>(value)
                                    : static_cast<unsigned long long>(value);
    unsigned long long scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    unsigned long long whole = v / scale, frac = v % scale;
    int digits = decimals;
    while (digits > 0 && frac % 10 == 0) {
        frac /= 10;
        --digits;
    }
    // Beyond 15 significant digits the general format rounds; leave such
    // values to it. The digits after the separator count too.
    if (v >= 1000000000000000ULL)
        return number_text(static_cast<long double>(value) / static_cast<long double>(scale));
    std::string out = negative && (whole || frac) ? "-" : "";
    out += std::to_string(whole);
    if (digits > 0) {
        std::string f = std::to_string(frac);
        out += number_format().decimal_separator;
        out.append(static_cast<size_t>(digits) - f.size(), '0');
        out += f;
    }
    return out;
}

double parse_number(const std::string& text)
{
    std::string t = text;
    const std::string& sep = number_format().decimal_separator;
    if (!sep.empty() && sep != ".") {
        const auto pos = t.find(sep);
        if (pos != std::string::npos)
            t.replace(pos, sep.size(), ".");
    }
    auto trim = [](std::string& x) {
        while (!x.empty() && (x.back() == ' ' || x.back() == '\t'))
            x.pop_back();
        size_t i = 0;
        while (i < x.size() && (x[i] == ' ' || x[i] == '\t'))
            ++i;
        x.erase(0, i);
    };
    trim(t);
    // Only plain decimals count: no "inf", "nan" or hexadecimal digits.
    bool plain = !t.empty();
    for (char c : t)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' ||
              c == 'e' || c == 'E'))
            plain = false;
    if (plain) {
        // std::from_chars reads '.' whatever the C library's locale says; it
        // takes no leading '+', which the operator may type.
        const char* first = t.data();
        const char* last = t.data() + t.size();
        if (*first == '+' && last - first > 1 && first[1] != '-' && first[1] != '+')
            ++first;
        double v = 0;
        const auto r = std::from_chars(first, last, v, std::chars_format::general);
        if (r.ec == std::errc() && r.ptr == last)
            return v;
    }
    throw ConvertError("'" + text + "' is not a valid floating point value");
}

long long parse_integer(const std::string& text)
{
    size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    bool ok = i < text.size() && text.size() - i <= 18;
    for (size_t j = i; ok && j < text.size(); ++j)
        ok = text[j] >= '0' && text[j] <= '9';
    if (!ok)
        throw ConvertError("'" + text + "' is not a valid integer value");
    return std::stoll(text);
}

int parse_int(const std::string& text)
{
    const long long v = parse_integer(text);
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw ConvertError("'" + text + "' is not a valid integer value");
    return static_cast<int>(v);
}

}  // namespace lekta
