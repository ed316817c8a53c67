#include "online/receive.h"

namespace lekta {

TForm2::TForm2(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form2");
    setWindowTitle(QStringLiteral("Прием данных"));
}

}  // namespace lekta
