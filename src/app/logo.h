#pragma once
// The splash window: one picture, closes itself after 3 seconds.
#include <QDialog>
#include <QTimer>

namespace lekta {

class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
    QTimer* Timer1;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FormShow();
    void Timer1Timer();
};

}  // namespace lekta
