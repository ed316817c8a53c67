#pragma once
// The port choice dialog, offered when no instrument port was found.
#include <QDialog>

namespace lekta {

class TForm10 : public QDialog {
    Q_OBJECT
public:
    explicit TForm10(QWidget* parent = nullptr);
};

}  // namespace lekta
