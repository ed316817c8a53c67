#pragma once
// The series selector "Построение графиков": created with the other windows,
// shown by no command.
#include <QDialog>

namespace lekta {

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
};

}  // namespace lekta
