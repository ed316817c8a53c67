#pragma once
// A call the spreadsheet application cannot carry out: a sheet, range or
// chart type that does not exist, a call after Quit, a copy that could not
// be stored. The exports let it through to the general error display.
#include <stdexcept>

namespace lekta::output {

class SpreadsheetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace lekta::output
