#pragma once
// The port choice dialog "Com Port", offered when the port-lookup library
// found no instrument: the ports that could be opened, editable, "ОК" tries
// the text as it stands and opens the online window on it.
#include <QDialog>
#include <functional>

class QComboBox;
class QPushButton;

namespace lekta {

namespace ui {
class Dialogs;
}
class TForm2;

class TForm10 : public QDialog {
    Q_OBJECT
public:
    TForm10(ui::Dialogs& dialogs, TForm2& online_window, QWidget* parent = nullptr);

    QComboBox* ComboBox1;
    QPushButton* btnOK;
    QPushButton* Button2;

    // Shows the online window modally; exec() unless the program entry or a
    // test sets another. Returns the modal result.
    std::function<int()> show_online_modal;

    // Fills the list with the ports that can be opened and selects its
    // second entry (none with fewer than two), as the online command does.
    void fill(const QStringList& ports);
    // Shows the dialog modally, centred on its parent; the modal result.
    int ShowModal();

    void btnOKClick();
    void Button2Click();

private:
    ui::Dialogs& dialogs_;
    TForm2& online_window_;
};

}  // namespace lekta
