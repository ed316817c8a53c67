#pragma once
// The progress window shown while the catalogue is exported.
#include <QDialog>

namespace lekta {

class TForm9 : public QDialog {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);
};

}  // namespace lekta
