#include "online/port_dialog.h"

#include "online/online_state.h"
#include "online/receive.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/guarded_connect.h"
#include "ui/window_placement.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace lekta {

TForm10::TForm10(ui::Dialogs& dialogs, TForm2& online_window, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ComboBox1(new QComboBox(this)), btnOK(new QPushButton(QStringLiteral("ОК"), this)),
      Button2(new QPushButton(QStringLiteral("Отмена"), this)), dialogs_(dialogs),
      online_window_(online_window)
{
    setObjectName("Form10");
    setWindowTitle(QStringLiteral("Com Port"));
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(true);
    // Typed names are tried as they stand, never added to the list.
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMinimumWidth(340);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    Button2->setObjectName("Button2");
    ui::connect_guarded(btnOK, &QPushButton::clicked, this, &TForm10::btnOKClick);
    ui::connect_guarded(Button2, &QPushButton::clicked, this, &TForm10::Button2Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setSpacing(14);
    layout->addWidget(ComboBox1);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

void TForm10::fill(const QStringList& ports)
{
    ComboBox1->clear();
    ComboBox1->addItems(ports);
    // The list opens as wide as its longest name (USB adapters' stable names are long).
    int widest = 0;
    for (const QString& p : ports)
        widest = std::max(widest, ComboBox1->fontMetrics().horizontalAdvance(p));
    ComboBox1->view()->setMinimumWidth(widest + 24);
    // The second entry, as the program always did; with fewer than two
    // nothing is selected and the text stays empty.
    if (ComboBox1->count() > 1) {
        ComboBox1->setCurrentIndex(1);
    } else {
        ComboBox1->setCurrentIndex(-1);
        ComboBox1->setEditText(QString());
    }
}

int TForm10::ShowModal()
{
    ui::centre_on_parent(*this);
    return exec();
}

void TForm10::btnOKClick()
{
    OnlineState& s = online_state();
    s.chosen_port_name = ComboBox1->currentText().toStdString();
    TCommPortDriver& port = online_window_.CommPortDriver1();
    port.SetPortName(QString::fromStdString(s.chosen_port_name));
    if (!port.Connect()) {
        ui::show_message(dialogs_, QStringLiteral("Ошибка подключения!"));
        reject();
        return;
    }
    // A second run from the still open dialog starts with an empty table as
    // well as empty curves: the table is what the export writes.
    online_window_.clear_point_table();
    online_window_.clear_main_curves(false);
    port.Disconnect();
    // On top of the dialog, which stays open when the window closes.
    if (show_online_modal)
        show_online_modal();
    else
        online_window_.exec();
}

void TForm10::Button2Click()
{
    reject();
}

}  // namespace lekta
