#pragma once
// The entries of a catalogue directory that hold tests.
#include <string>
#include <vector>

namespace lekta {

struct DirectoryListing {
    std::vector<std::string> names;  // entry names, in case-insensitive name order
    bool unreadable = false;         // the directory exists but could not be listed
    std::string error;               // the system's reason when unreadable
};

// Every entry whose name matches "*.bmd" without regard to case, whatever
// its kind (directories and hidden entries included: opening them fails
// later and is reported per file). A directory that does not exist gives an
// empty listing.
DirectoryListing list_test_files(const std::string& directory);

}  // namespace lekta
