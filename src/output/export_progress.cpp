#include "output/export_progress.h"

namespace lekta {

TForm9::TForm9(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Dialog)
{
    setObjectName("Form9");
    setFixedSize(425, 64);
}

}  // namespace lekta
