#pragma once
// The series selector "Построение графиков": the catalogue's series in a
// list, the operator picks one or more and "Построить" hands them on. Its
// two check boxes for moisture and temperature curves stay hidden: the
// instrument records neither.
#include <QDialog>
#include <functional>
#include <set>
#include <vector>

#include "series/series_choice.h"

class QCheckBox;
class QGroupBox;
class QListWidget;
class QPushButton;

namespace lekta {

namespace ui {
class Dialogs;
}

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);

    // Fills "Серия" with the catalogue's series, nothing selected.
    void SetSeries(const std::vector<series::SeriesEntry>& entries);
    std::set<int> ChosenSeries() const;

    // "Построить": with nothing chosen it says so (through dialogs) and
    // stays; otherwise the dialog closes and on_build gets the choice.
    void Button1Click();
    std::function<void(const std::set<int>&)> on_build;
    ui::Dialogs* dialogs = nullptr;

    QGroupBox* GroupBox1;
    QListWidget* ListBox1;
    QCheckBox* CheckBox1;  // "W, %"
    QCheckBox* CheckBox2;  // "T, °C"
    QPushButton* Button1;
};

}  // namespace lekta
