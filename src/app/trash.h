#pragma once
// Deleting a test file the way a desktop does: into the user's trash (the
// freedesktop.org trash layout), so a wrong click does not destroy the only
// copy of a test. A file is deleted for good only where no trash can hold it.
#include <string>

namespace lekta {

enum class Disposal {
    Trashed,  // moved into a trash folder, restorable from the desktop's trash
    Deleted,  // no trash on that file system: removed
    Missing,  // there was no such file
    Failed,   // it is still there
};

struct DisposalResult {
    Disposal outcome = Disposal::Failed;
    std::string error;  // the system's reason when it failed
};

// `path` is the file's name as the system's bytes.
DisposalResult dispose_of_file(const std::string& path);

// The home trash folder: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash.
std::string home_trash_dir();

}  // namespace lekta
