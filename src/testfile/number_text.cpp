#include "testfile/number_text.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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
    char sci[64];
    std::snprintf(sci, sizeof sci, "%.14Le", value);
    std::string s(sci);
    const auto epos = s.find('e');
    const int exponent = std::atoi(s.c_str() + epos + 1);
    std::string mantissa = s.substr(0, epos);
    const bool negative = mantissa[0] == '-';
    if (negative)
        mantissa.erase(0, 1);
    std::string digits;
    for (char c : mantissa)
        if (c != '.')
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
    unsigned long long v = negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    unsigned long long scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    unsigned long long whole = v / scale, frac = v % scale;
    int digits = decimals;
    while (digits > 0 && frac % 10 == 0) {
        frac /= 10;
        --digits;
    }
    // Beyond 15 significant digits the general format would round; leave
    // such values to it.
    if (whole >= 1000000000000000ULL)
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
    for (char& c : t)
        if (c == 'e')
            c = 'E';
    if (!t.empty()) {
        errno = 0;
        char* end = nullptr;
        const double v = std::strtod(t.c_str(), &end);
        // strtod also takes "inf", "nan" and hexadecimal; only plain decimals count.
        bool plain = true;
        for (char c : t)
            if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'E'))
                plain = false;
        if (plain && end && *end == '\0' && errno != ERANGE)
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

}  // namespace lekta
