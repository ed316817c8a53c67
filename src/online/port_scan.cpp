#include "online/port_scan.h"

#include "online/CPDrv.h"
#include "online/serial_device.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <set>
#include <sys/stat.h>

namespace lekta {

namespace {

std::string canonical(const std::string& path)
{
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return path;
    std::string out(real);
    std::free(real);
    return out;
}

std::vector<std::string> entries(const std::string& dir)
{
    std::vector<std::string> out;
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return out;
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            out.push_back(name);
    }
    ::closedir(d);
    return out;
}

// "ttyUSB10" after "ttyUSB2": the number after the prefix decides.
long tty_number(const std::string& name, std::size_t prefix)
{
    const std::string digits = name.substr(prefix);
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return digits.size() > 9 ? -1 : std::atol(digits.c_str());
}

}  // namespace

std::vector<std::string> usb_serial_candidates(const std::string& dev_root,
                                               const std::vector<std::string>& already)
{
    std::set<std::string> seen;
    for (const std::string& p : already)
        seen.insert(canonical(p));
    std::vector<std::string> out;
    auto offer = [&](const std::string& path) {
        if (seen.insert(canonical(path)).second)
            out.push_back(path);
    };

    for (const char* prefix : {"ttyUSB", "ttyACM"}) {
        const std::string p = prefix;
        std::vector<std::pair<long, std::string>> found;
        for (const std::string& name : entries(dev_root))
            if (name.compare(0, p.size(), p) == 0)
                if (const long n = tty_number(name, p.size()); n >= 0)
                    found.emplace_back(n, name);
        std::sort(found.begin(), found.end());
        for (const auto& f : found)
            offer(dev_root + "/" + f.second);
    }
    // The stable names of the same adapters; an adapter whose node above was
    // listed already is not offered twice.
    const std::string by_id = dev_root + "/serial/by-id";
    std::vector<std::string> links = entries(by_id);
    std::sort(links.begin(), links.end());
    for (const std::string& name : links)
        offer(by_id + "/" + name);
    return out;
}

std::vector<QString> com_port_names()
{
    std::vector<QString> names;
    for (int n = 0; n <= 64; ++n)
        names.push_back(QStringLiteral("\\\\.\\COM") + QString::number(n));
    return names;
}

QStringList scan_ports(TCommPortDriver& port, const std::vector<QString>& com_names,
                       const std::string& dev_root)
{
    QStringList found;
    std::vector<std::string> com_paths;
    auto try_name = [&](const QString& name) {
        port.SetPortName(name);
        if (port.Connect()) {
            found << name;
            port.Disconnect();
        }
    };
    for (const QString& name : com_names) {
        try_name(name);
        const std::string path = serial_device_path(name.toStdString());
        if (!path.empty())
            com_paths.push_back(path);
    }
    for (const std::string& path : usb_serial_candidates(dev_root, com_paths))
        try_name(QString::fromStdString(path));
    return found;
}

}  // namespace lekta
