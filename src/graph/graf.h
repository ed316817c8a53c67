#pragma once
// The graph window: one test's load–deformation curve beside its point table.
#include <QDialog>

namespace lekta {

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
};

}  // namespace lekta
