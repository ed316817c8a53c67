#include "app/catalogue_dir.h"

#include <QString>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>

namespace lekta {

namespace {

bool has_test_extension(const char* name)
{
    const size_t n = std::strlen(name);
    return n >= 4 && name[n - 4] == '.' && (name[n - 3] | 0x20) == 'b' && (name[n - 2] | 0x20) == 'm' &&
           (name[n - 1] | 0x20) == 'd';
}

}  // namespace

DirectoryListing list_test_files(const std::string& directory)
{
    DirectoryListing out;
    const std::string dir = directory.empty() ? "/" : directory;
    DIR* d = ::opendir(dir.c_str());
    if (!d) {
        if (errno != ENOENT && errno != ENOTDIR) {
            out.unreadable = true;
            out.error = std::strerror(errno);
        }
        return out;
    }
    while (const dirent* e = ::readdir(d)) {
        if (has_test_extension(e->d_name))
            out.names.emplace_back(e->d_name);
    }
    ::closedir(d);
    // Operators expect their tests in name order, as the instrument's
    // Windows workstation listed them; case does not count.
    std::vector<std::pair<QString, std::string>> keyed;
    keyed.reserve(out.names.size());
    for (auto& n : out.names)
        keyed.emplace_back(QString::fromUtf8(n.c_str()).toCaseFolded(), std::move(n));
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        const int c = a.first.compare(b.first);
        return c != 0 ? c < 0 : a.second < b.second;
    });
    out.names.clear();
    for (auto& k : keyed)
        out.names.push_back(std::move(k.second));
    return out;
}

}  // namespace lekta
