#pragma once
// Reading a test file into the test buffer. The program only ever reads test
// files: they are opened read-only, so write-protected archives open too.
#include <string>

namespace lekta {

// Fills the buffer with spaces and reads the file into it (path as the bytes
// the system names it by). False when the file cannot be opened or is not a
// regular file; an error while reading an opened file throws InOutError.
bool read_test_file(const std::string& path);

// As read_test_file, but only the header and the tail land in the buffer,
// at their places; everything between stays spaces. The catalogue needs no
// more, and skipping the point records makes listing a folder of long tests
// as quick as opening its files.
bool read_test_summary(const std::string& path);

}  // namespace lekta
