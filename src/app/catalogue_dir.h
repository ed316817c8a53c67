#pragma once
// The entries of a catalogue directory that hold tests.
#include <string>
#include <vector>

namespace lekta {

struct DirectoryListing {
    // Entry names as the system's bytes (a name copied from another machine
    // need not be valid UTF-8), in case-insensitive name order.
    std::vector<std::string> names;
    bool missing = false;     // there is no such directory
    bool unreadable = false;  // the directory exists but could not be listed, or only in part
    std::string error;        // the system's reason when unreadable
};

// Every entry whose name matches "*.bmd" without regard to case, whatever
// its kind (directories and hidden entries included: opening them fails
// later and is reported per file).
DirectoryListing list_test_files(const std::string& directory);

// An entry name for the operator's eyes: UTF-8 when it is valid UTF-8,
// otherwise the Russian Windows code page such names usually come in.
std::string display_name(const std::string& entry_name);

}  // namespace lekta
