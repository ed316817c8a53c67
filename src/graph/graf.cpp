#include "graph/graf.h"

namespace lekta {

TForm3::TForm3(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form3");
}

}  // namespace lekta
