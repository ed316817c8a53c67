#pragma once
// The port-lookup library, loaded once at start-up and kept until the
// program ends; the online command asks it for the instrument's port.
#include <QString>
#include <stdexcept>
#include <string>
#include <vector>

class QLibrary;

namespace lekta {

// The list the library fills: port names without the "\\.\" prefix,
// allocated by the library and handed back to it to free.
struct tmas {
    char** items;
    int count;
};
using gets_fn = void (*)(const char* family, const char* extra, tmas* list);
using freemas_fn = void (*)(tmas* list);

// The platform's error for a system error code, as the general error
// display shows it.
class SystemError : public std::runtime_error {
public:
    SystemError(int code, const std::string& system_text);
    int code() const { return code_; }

private:
    int code_;
};

struct PortLibrary {
    QLibrary* handle = nullptr;
    gets_fn gets = nullptr;  // empty when the library has no such export
    freemas_fn freemas = nullptr;

    // The program holds the library until it ends; tests start afresh.
    void reset();
};
PortLibrary& port_library();

// Loads the library; SystemError when it cannot be loaded. A missing `gets`
// export leaves the pointer empty without complaint.
void load_port_library(const QString& path);

// Calls `gets` with the product family word and returns the entries in the
// library's order (empty when the export is missing or nothing was found).
std::vector<std::string> find_instrument_ports();

}  // namespace lekta
