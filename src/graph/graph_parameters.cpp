#include "graph/graph_parameters.h"

namespace lekta {

TForm11::TForm11(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form11");
    setWindowTitle(QStringLiteral("Параметры графика"));
}

}  // namespace lekta
