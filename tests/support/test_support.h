#pragma once
// Small helpers the test folders share: temporary folders, file writing,
// running the event loop for a while.
#include <QString>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace lekta::testing {

// A fresh folder under the system's temporary directory, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // path + "/" + name
    std::string file(const std::string& name) const;

private:
    std::string path_;
};

void write_file(const std::string& path, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> read_file(const std::string& path);

// Runs the event loop until pred() is true or timeout_ms passes; returns pred().
bool wait_until(const std::function<bool()>& pred, int timeout_ms);
// Runs the event loop for ms milliseconds.
void pump_events(int ms);

// Sets the process-wide decimal separator for one test and restores the
// system's (or whatever was set before) when it ends.
class ScopedSeparator {
public:
    explicit ScopedSeparator(std::string separator);
    ~ScopedSeparator();
    ScopedSeparator(const ScopedSeparator&) = delete;
    ScopedSeparator& operator=(const ScopedSeparator&) = delete;

private:
    std::string saved_;
};

// Sets the C library's numeric locale for one test (as the application
// object does from the environment) and restores it afterwards. ok() is
// false when the system has no such locale.
class ScopedCLocale {
public:
    explicit ScopedCLocale(const char* name);
    ~ScopedCLocale();
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;
    bool ok() const { return ok_; }

private:
    std::string saved_;
    bool ok_ = false;
};

// Folder of the built programs (the simulator, the generator, the port-lookup library).
std::string bin_dir();

}  // namespace lekta::testing
