#pragma once
// A pseudo-terminal pair standing in for a serial line: the simulator serves
// on the master side; the workstation opens the slave side as its port.
#include <string>

namespace lekta::tools {

class PseudoTerminal {
public:
    // Opens the pair, sets the line raw and keeps one slave descriptor open,
    // so the pair survives the other program closing and reopening the port
    // (until release_slave).
    // The master is non-blocking. Throws std::system_error on failure.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int master() const { return master_; }
    // Closes the slave descriptor this object holds. From then on the master
    // reports a hang-up (POLLHUP) as soon as no other program has the slave
    // open, which is how the simulator sees the workstation close its port.
    // Bytes not yet read on the slave side are lost only when the last
    // slave descriptor closes.
    void release_slave();
    const std::string& slave_path() const { return slave_path_; }

    // Makes `path` a symbolic link to the slave, replacing an older link
    // there (but nothing else). The link is removed with the object.
    // Throws std::system_error on failure.
    void make_link(const std::string& path);
    void remove_link();
    const std::string& link_path() const { return link_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slave_path_;
    std::string link_;
};

}  // namespace lekta::tools
