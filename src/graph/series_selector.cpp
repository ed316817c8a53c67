#include "graph/series_selector.h"

namespace lekta {

TForm4::TForm4(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form4");
    setWindowTitle(QStringLiteral("Построение графиков"));
}

}  // namespace lekta
