#include "reliability/fault_support.h"

#include "support/test_support.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <sstream>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace lekta::testing {

namespace {

long long ns(const timespec& t)
{
    return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

bool get_caps(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capget, &header, data) == 0;
}

bool set_caps(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capset, &header, data) == 0;
}

constexpr unsigned kOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

}  // namespace

FolderState folder_state(const std::string& dir)
{
    FolderState out;
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        throw std::runtime_error("cannot list " + dir + ": " + std::strerror(errno));
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string path = dir + "/" + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0)
            continue;
        EntryState s;
        s.type = st.st_mode & S_IFMT;
        s.inode = st.st_ino;
        s.size = st.st_size;
        s.mtime_ns = ns(st.st_mtim);
        s.ctime_ns = ns(st.st_ctim);
        if (S_ISREG(st.st_mode))
            s.bytes = read_file(path);
        out[name] = std::move(s);
    }
    ::closedir(d);
    return out;
}

std::string folder_changes(const FolderState& before, const FolderState& after)
{
    std::ostringstream out;
    for (const auto& [name, s] : before) {
        const auto it = after.find(name);
        if (it == after.end())
            out << "gone: " << name << "\n";
        else if (!(it->second == s))
            out << "changed: " << name << (it->second.bytes != s.bytes ? " (bytes)" : "")
                << (it->second.mtime_ns != s.mtime_ns ? " (modification time)" : "")
                << (it->second.ctime_ns != s.ctime_ns ? " (change time)" : "")
                << (it->second.inode != s.inode ? " (replaced)" : "") << "\n";
    }
    for (const auto& [name, s] : after)
        if (!before.count(name))
            out << "added: " << name << "\n";
    return out.str();
}

WithoutPermissionOverride::WithoutPermissionOverride()
{
    __user_cap_data_struct data[2]{};
    if (!get_caps(data) || (data[0].effective & kOverrides) == 0)
        return;
    data[0].effective &= ~kOverrides;
    dropped_ = set_caps(data);
}

WithoutPermissionOverride::~WithoutPermissionOverride()
{
    if (!dropped_)
        return;
    __user_cap_data_struct data[2]{};
    if (get_caps(data)) {
        data[0].effective |= kOverrides & data[0].permitted;
        set_caps(data);
    }
}

SmallDisk::SmallDisk(std::size_t bytes)
{
    char name[] = "/tmp/lekta-small-disk-XXXXXX";
    if (!::mkdtemp(name)) {
        why_ = std::string("mkdtemp: ") + std::strerror(errno);
        return;
    }
    path_ = name;
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("tmpfs", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV | MS_NOEXEC,
                options.c_str()) != 0) {
        why_ = std::string("mounting a tmpfs is not permitted here: ") + std::strerror(errno);
        return;
    }
    mounted_ = true;
}

SmallDisk::~SmallDisk()
{
    if (mounted_)
        ::umount2(path_.c_str(), MNT_DETACH);
    if (!path_.empty())
        ::rmdir(path_.c_str());
}

void fill_disk(const std::string& file)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + file);
    const std::vector<char> block(4096, 'x');
    for (;;) {
        const ssize_t n = ::write(fd, block.data(), block.size());
        if (n > 0)
            continue;
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    // Whatever part of a block still fits.
    while (::write(fd, block.data(), 1) == 1) {}
    ::close(fd);
}

}  // namespace lekta::testing
