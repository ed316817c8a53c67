#pragma once
// The graph parameters dialog "Параметры графика": the load curve's line
// width and colour, the yield line's colour, for the graph and the online
// window alike, and a vertical offset of the graph window's F(H) curve and Ft
// line in whole kilonewtons. Width and colours become the settings; the
// offset is applied once, to what the graph window shows, and not stored.
// The windows apply them themselves, through ui::GraphSettingsTarget.
#include <QDialog>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

namespace lekta {

namespace ui {
class ColorBox;
class Dialogs;
class GraphSettingsTarget;
}  // namespace ui

class TForm11 : public QDialog {
    Q_OBJECT
public:
    explicit TForm11(QWidget* parent = nullptr);

    // A window "ОК" applies to (the program entry adds the online window,
    // then the graph window). The first one added gives the width stored.
    void add_target(ui::GraphSettingsTarget* target) { targets_.push_back(target); }
    // The colour dialog of the colour boxes' custom entry.
    void set_dialogs(ui::Dialogs* dialogs);

    QLabel *Label1, *Label2, *Label3, *Label4;
    QComboBox* ComboBox1;            // line width
    ui::ColorBox* ColorBox1;         // load curve
    ui::ColorBox* ColorBox2;         // yield line
    QComboBox* ComboBox2;            // offset
    QPushButton *Button2, *Button1;  // "ОК", "Отмена"

    // The offset in kN taken at the last "ОК".
    int sm = 0;

    // Handlers, callable from tests as the window calls them.
    void FormShow();
    void Button2Click();  // "ОК"
    void Button1Click();  // "Отмена"

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::vector<ui::GraphSettingsTarget*> targets_;
};

}  // namespace lekta
