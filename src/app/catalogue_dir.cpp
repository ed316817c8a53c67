#include "app/catalogue_dir.h"

#include <QString>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>

namespace lekta {

namespace {

bool has_test_extension(const char* name)
{
    const size_t n = std::strlen(name);
    return n >= 4 && name[n - 4] == '.' && (name[n - 3] | 0x20) == 'b' &&
           (name[n - 2] | 0x20) == 'm' && (name[n - 1] | 0x20) == 'd';
}

}  // namespace

DirectoryListing list_test_files(const std::string& directory)
{
    DirectoryListing out;
    const std::string dir = directory.empty() ? "/" : directory;
    DIR* d = ::opendir(dir.c_str());
    if (!d) {
        if (errno == ENOENT || errno == ENOTDIR) {
            out.missing = true;
        } else {
            out.unreadable = true;
            out.error = std::strerror(errno);
        }
        return out;
    }
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(d);
        if (!e) {
            // A listing that fails half way (a share that went away) must not
            // pass for a short catalogue.
            if (errno != 0) {
                out.unreadable = true;
                out.error = std::strerror(errno);
            }
            break;
        }
        if (has_test_extension(e->d_name))
            out.names.emplace_back(e->d_name);
    }
    ::closedir(d);
    // Operators expect their tests in name order, as the instrument's
    // Windows workstation listed them; case does not count.
    std::vector<std::pair<QString, std::string>> keyed;
    keyed.reserve(out.names.size());
    for (auto& n : out.names)
        keyed.emplace_back(QString::fromStdString(display_name(n)).toCaseFolded(), std::move(n));
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

namespace lekta {

std::string display_name(const std::string& entry_name)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // Decoded only to learn whether the bytes are UTF-8.
    static_cast<void>(QString(
        utf8(QByteArrayView(entry_name.data(), static_cast<qsizetype>(entry_name.size())))));
    if (!utf8.hasError())
        return entry_name;
    QStringDecoder cp1251("windows-1251");
    if (cp1251.isValid()) {
        const QString as_cp1251 = cp1251(
            QByteArrayView(entry_name.data(), static_cast<qsizetype>(entry_name.size())));
        if (!cp1251.hasError())
            return as_cp1251.toStdString();
    }
    return QString::fromLatin1(entry_name.data(), static_cast<qsizetype>(entry_name.size()))
        .toStdString();
}

}  // namespace lekta
