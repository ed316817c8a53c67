#include "app/trash.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace lekta {

namespace {

bool make_dir(const std::string& path, mode_t mode)
{
    return ::mkdir(path.c_str(), mode) == 0 || errno == EEXIST;
}

bool is_dir(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A trash folder ready for use: it and its files/ and info/ exist.
bool prepare(const std::string& trash)
{
    return make_dir(trash, 0700) && is_dir(trash) && make_dir(trash + "/files", 0700) &&
           make_dir(trash + "/info", 0700) && is_dir(trash + "/files") && is_dir(trash + "/info");
}

dev_t device_of(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_dev : static_cast<dev_t>(-1);
}

std::string parent_of(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The device of the nearest folder of `path` that exists (a new user's
// ~/.local/share may not yet).
dev_t device_of_existing(std::string path)
{
    for (;;) {
        const dev_t d = device_of(path);
        if (d != static_cast<dev_t>(-1) || path == "/" || path == ".")
            return d;
        path = parent_of(path);
    }
}

bool make_dirs(const std::string& path, mode_t mode)
{
    if (is_dir(path))
        return true;
    const std::string up = parent_of(path);
    if (up != path && !is_dir(up) && !make_dirs(up, 0700))
        return false;
    return make_dir(path, mode);
}

std::string absolute(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char cwd[4096];
    return ::getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + path : path;
}

// The top of the mounted file system that holds `dir`.
std::string mount_top(std::string dir)
{
    const dev_t dev = device_of(dir);
    while (dir != "/") {
        const std::string up = parent_of(dir);
        if (device_of(up) != dev)
            break;
        dir = up;
    }
    return dir;
}

// The trash's Path= line holds the original path as a URL path: bytes
// outside the unreserved set percent-encoded.
std::string url_path(std::string_view path)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

bool write_all(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Moves the file into the trash folder: the info file is claimed first
// (O_EXCL picks a free name), then the file is renamed beside it.
bool move_into(const std::string& trash, const std::string& path, std::string& error)
{
    const std::string base = path.substr(path.find_last_of('/') + 1);
    const auto dot = base.find_last_of('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
    const std::string ext = dot == std::string::npos || dot == 0 ? "" : base.substr(dot);
    char date[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    const std::string info = "[Trash Info]\nPath=" + url_path(absolute(path)) +
                             "\nDeletionDate=" + date + "\n";

    for (int n = 1; n < 10000; ++n) {
        const std::string name = n == 1 ? base : stem + "." + std::to_string(n) + ext;
        const std::string info_path = trash + "/info/" + name + ".trashinfo";
        const int fd = ::open(info_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            error = std::strerror(errno);
            return false;
        }
        const bool written = write_all(fd, info);
        const bool closed = ::close(fd) == 0;
        if (!written || !closed) {
            const int e = errno;
            ::unlink(info_path.c_str());
            error = std::strerror(e);
            return false;
        }
        const std::string target = trash + "/files/" + name;
        struct stat st {};
        if (::lstat(target.c_str(), &st) == 0) {
            ::unlink(info_path.c_str());
            continue;
        }
        if (::rename(path.c_str(), target.c_str()) == 0)
            return true;
        const int e = errno;
        ::unlink(info_path.c_str());
        error = std::strerror(e);
        return false;
    }
    return false;
}

}  // namespace

std::string home_trash_dir()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/')
        return std::string(data) + "/Trash";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.local/share/Trash";
}

DisposalResult dispose_of_file(const std::string& path)
{
    DisposalResult r;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        r.outcome = errno == ENOENT ? Disposal::Missing : Disposal::Failed;
        r.error = std::strerror(errno);
        return r;
    }
    const std::string dir = parent_of(absolute(path));
    const dev_t dev = device_of(dir);

    // The home trash when it lies on the file's file system, else the
    // file system's own trash folder.
    const std::string home = home_trash_dir();
    std::string trash;
    if (device_of_existing(home) == dev && make_dirs(parent_of(home), 0700) && prepare(home)) {
        trash = home;
    } else {
        const std::string top = mount_top(dir);
        const std::string own = (top == "/" ? "" : top) + "/.Trash-" + std::to_string(::getuid());
        if (prepare(own))
            trash = own;
    }
    if (!trash.empty()) {
        if (move_into(trash, path, r.error)) {
            r.outcome = Disposal::Trashed;
            return r;
        }
        r.outcome = Disposal::Failed;
        return r;
    }
    if (::unlink(path.c_str()) == 0) {
        r.outcome = Disposal::Deleted;
        return r;
    }
    r.outcome = Disposal::Failed;
    r.error = std::strerror(errno);
    return r;
}

}  // namespace lekta
