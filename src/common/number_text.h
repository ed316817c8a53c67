#pragma once
// Numbers as the operator reads them: general format, at most 15 significant
// digits, no thousands separator, the decimal separator of the user's regional
// settings. The separator is process-wide; the user-interface layer sets it
// from the system locale at start-up, tests set it directly.
#include <stdexcept>
#include <string>

namespace lekta {

struct NumberFormat {
    std::string decimal_separator = ",";
};
NumberFormat& number_format();

// A text that is not a number, or not an integer where one is wanted.
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// General format of a value with up to 15 significant digits: trailing zeros
// dropped, exponent notation ("1,5E-7", "1E20") only below 0.00001 in
// magnitude or for more than 15 digits before the separator.
std::string number_text(long double value);
std::string number_text(long double value, const std::string& separator);

// value / 10^decimals in the same general format, computed exactly in
// integers: the catalogue's fields are all such fixed-point numbers, and this
// is many times quicker than formatting a floating-point value.
std::string decimal_text(long long value, int decimals);

// Reads a number written with the current separator (a '.' is accepted too,
// so texts typed either way read back). Throws ConvertError.
double parse_number(const std::string& text);

// A decimal integer with an optional sign, as the settings store colours.
// Throws ConvertError with the text "'x' is not a valid integer value".
long long parse_integer(const std::string& text);
// The same for a 32-bit whole number (a width, an offset): a value outside
// int's range is refused with the same error, never wrapped.
int parse_int(const std::string& text);

}  // namespace lekta
