#include "app/port_library.h"

#include <QFileInfo>
#include <QLibrary>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace lekta {

SystemError::SystemError(int code, const std::string& system_text)
    : std::runtime_error("System Error.  Code: " + std::to_string(code) + ".\r\n" + system_text),
      code_(code)
{}

PortLibrary& port_library()
{
    static PortLibrary lib;
    return lib;
}

void PortLibrary::reset()
{
    gets = nullptr;
    freemas = nullptr;
    if (handle) {
        handle->unload();
        delete handle;
        handle = nullptr;
    }
}

void load_port_library(const QString& path)
{
    PortLibrary& lib = port_library();
    lib.reset();
    if (!QFileInfo::exists(path))
        throw SystemError(ENOENT, std::strerror(ENOENT));
    auto* handle = new QLibrary(path);
    if (!handle->load()) {
        const std::string why = handle->errorString().toStdString();
        delete handle;
        throw SystemError(ENOEXEC, std::string(std::strerror(ENOEXEC)) + " (" + why + ")");
    }
    lib.handle = handle;  // held until the program ends
    lib.gets = reinterpret_cast<gets_fn>(handle->resolve("gets"));
    lib.freemas = reinterpret_cast<freemas_fn>(handle->resolve("freemas"));
}

std::vector<std::string> find_instrument_ports()
{
    std::vector<std::string> out;
    PortLibrary& lib = port_library();
    if (!lib.gets)
        return out;
    tmas list{nullptr, 0};
    lib.gets("lekta", "", &list);
    for (int i = 0; i < list.count; ++i)
        if (list.items && list.items[i])
            out.emplace_back(list.items[i]);
    if (lib.freemas) {
        lib.freemas(&list);
    } else if (list.items) {
        for (int i = 0; i < list.count; ++i)
            std::free(list.items[i]);
        std::free(list.items);
    }
    return out;
}

}  // namespace lekta
