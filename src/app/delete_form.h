#pragma once
// The delete dialog: a row, a file, or nothing.
#include <QDialog>

class QLabel;
class QPushButton;

namespace lekta {

// The delete choice the dialog leaves behind.
enum DeleteChoice { kDeleteCancel = 0, kDeleteRows = 1, kDeleteFiles = 2 };

class TForm8 : public QDialog {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);

    // Shows the dialog modally; the choice of the button pressed, "Отмена"
    // for any other way of closing it.
    int ask();
    int choice() const { return choice_; }

    QLabel* Label1;
    QPushButton* Button1;  // "Строка"
    QPushButton* Button2;  // "Файл"
    QPushButton* Button3;  // "Отмена"

    void Button1Click();
    void Button2Click();
    void Button3Click();

private:
    int choice_ = kDeleteCancel;
};

}  // namespace lekta
