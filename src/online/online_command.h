#pragma once
// "Он-лайн" of the main window (N40Click): the operator's checklist, the
// instrument's port from the port-lookup library or, failing that, the port
// dialog with every port that opens, then the online window.
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

namespace lekta {

namespace ui {
class Dialogs;
}
class TForm2;
class TForm10;
class TCommPortDriver;

// The checklist shown before anything else, one line per step.
extern const char* const kOnlineChecklist;

struct OnlineCommand {
    ui::Dialogs& dialogs;
    TForm2& form2;
    TForm10& form10;
    // The port-lookup library's `gets`: port names without the "\\.\"
    // prefix, in the library's order.
    std::function<std::vector<std::string>()> find_ports;
    // Shows the online window modally; TForm2::exec() when empty.
    std::function<int()> show_online_modal;
    // Shows the port dialog modally; TForm10::ShowModal() when empty.
    std::function<int()> show_port_dialog;
    // The port dialog's list: scan_ports over the window's port when empty.
    // Tests give one that leaves the machine's own serial ports alone.
    std::function<QStringList(TCommPortDriver&)> scan;
};

void N40Click(const OnlineCommand& command);

}  // namespace lekta
