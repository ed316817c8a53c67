#pragma once
// The progress window shown while a test's points load.
#include <QDialog>

namespace lekta {

class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);
};

}  // namespace lekta
