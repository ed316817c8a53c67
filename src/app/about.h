#pragma once
// The about box: product name, version line, one line of purpose.
#include <QDialog>

class QLabel;
class QPushButton;

namespace lekta {

class Tform6 : public QDialog {
    Q_OBJECT
public:
    explicit Tform6(QWidget* parent = nullptr);
    QLabel* StaticText1;
    QLabel* StaticText2;
    QLabel* StaticText3;
    QPushButton* Button1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
};

}  // namespace lekta
