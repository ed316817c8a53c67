#pragma once
// What the online command, the port dialog and the online window share for
// the whole run of the program.
#include <string>

namespace lekta {

struct OnlineState {
    // The device name of the instrument's port: "\\.\" and a port name, or
    // what the operator typed in the port dialog. Empty from the start of
    // the online command until the port search has set it.
    std::string chosen_port_name;

    void reset() { *this = OnlineState(); }
};
OnlineState& online_state();

}  // namespace lekta
