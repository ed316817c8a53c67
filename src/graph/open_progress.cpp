#include "graph/open_progress.h"

namespace lekta {

TForm7::TForm7(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Dialog)
{
    setObjectName("Form7");
}

}  // namespace lekta
