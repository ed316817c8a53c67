#pragma once
// The two failures a test file read can meet after the file was opened.
#include <stdexcept>
#include <string>

namespace lekta {

// An index outside a table or outside the buffer: the operation that needed
// the value is abandoned.
class RangeError : public std::runtime_error {
public:
    RangeError() : std::runtime_error("Range check error") {}
};

// A read that failed after the file was opened.
class InOutError : public std::runtime_error {
public:
    explicit InOutError(int code);
    int code() const { return code_; }

private:
    int code_;
};

}  // namespace lekta
