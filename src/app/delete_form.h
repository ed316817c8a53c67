#pragma once
// The delete dialog: a row, a file, or nothing.
#include <QDialog>

namespace lekta {

class TForm8 : public QDialog {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);
};

}  // namespace lekta
