#pragma once
// The online window: a running test shown live.
#include <QDialog>

namespace lekta {

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
};

}  // namespace lekta
