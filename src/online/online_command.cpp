#include "online/online_command.h"

#include "online/online_state.h"
#include "online/port_dialog.h"
#include "online/port_scan.h"
#include "online/receive.h"
#include "ui/dialogs.h"

namespace lekta {

const char* const kOnlineChecklist = "1.Подключите электоронный блок \n"
                                     "2. Установите образец \n"
                                     "3.Перейти к автоподстройке\n"
                                     "4.Включить двигатель";

void N40Click(const OnlineCommand& c)
{
    ui::show_message(c.dialogs, QString::fromUtf8(kOnlineChecklist));

    OnlineState& s = online_state();
    s.chosen_port_name.clear();
    c.form2.clear_point_table();

    // The last entry is the instrument's port.
    if (c.find_ports)
        for (const std::string& entry : c.find_ports())
            s.chosen_port_name = entry;

    TCommPortDriver& port = c.form2.CommPortDriver1();
    if (!s.chosen_port_name.empty()) {
        s.chosen_port_name = "\\\\.\\" + s.chosen_port_name;
        port.SetPortName(QString::fromStdString(s.chosen_port_name));
        // A port that does not open ends the command without a word.
        if (!port.Connect())
            return;
        c.form2.clear_main_curves(true);
        port.Disconnect();
        if (c.show_online_modal)
            c.show_online_modal();
        else
            c.form2.exec();
        return;
    }

    c.form10.fill(c.scan ? c.scan(port) : scan_ports(port));
    ui::show_message(c.dialogs, QStringLiteral("Устройство не найдено выбирете Com Port"));
    if (c.show_port_dialog)
        c.show_port_dialog();
    else
        c.form10.ShowModal();
}

}  // namespace lekta
