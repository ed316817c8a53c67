#pragma once
// The graph parameters dialog: line width, curve colours and offset.
#include <QDialog>

namespace lekta {

class TForm11 : public QDialog {
    Q_OBJECT
public:
    explicit TForm11(QWidget* parent = nullptr);
};

}  // namespace lekta
