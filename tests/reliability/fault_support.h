#pragma once
// What the reliability tests share: a record of a folder's entries to
// compare before and after, permission checks that hold for root too, and a
// small file system that fills up.
#include <QString>

#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace lekta::testing {

// One folder entry as the system describes it, and a regular file's bytes.
struct EntryState {
    mode_t type = 0;  // S_IFREG, S_IFDIR, …
    ino_t inode = 0;
    off_t size = 0;
    long long mtime_ns = 0;
    long long ctime_ns = 0;  // changes with any write, chmod, rename or link
    std::vector<unsigned char> bytes;
    bool operator==(const EntryState&) const = default;
};
// Every entry of the folder (hidden ones too) by its name's bytes.
using FolderState = std::map<std::string, EntryState>;
FolderState folder_state(const std::string& dir);
// The names whose entries differ, were added or went, one per line ("" when none).
std::string folder_changes(const FolderState& before, const FolderState& after);

// Root passes every permission check, and CI runs as root: a file made
// unreadable with chmod would open all the same. Capabilities belong to
// each thread, so for this object's life the calling thread works without
// the two that override file permissions (they stay permitted and come
// back at the end). For a user other than root it changes nothing.
class WithoutPermissionOverride {
public:
    WithoutPermissionOverride();
    ~WithoutPermissionOverride();
    WithoutPermissionOverride(const WithoutPermissionOverride&) = delete;
    WithoutPermissionOverride& operator=(const WithoutPermissionOverride&) = delete;

private:
    bool dropped_ = false;
};

// A tmpfs of `bytes` mounted on a fresh folder, unmounted at the end. Only
// where mounting is permitted (root, or a container that allows it);
// otherwise ok() is false and why() says so.
class SmallDisk {
public:
    explicit SmallDisk(std::size_t bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool ok() const { return mounted_; }
    const std::string& why() const { return why_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string why_;
    bool mounted_ = false;
};

// Fills the file system holding `dir` with a file of that name until no
// byte more fits.
void fill_disk(const std::string& file);

}  // namespace lekta::testing
