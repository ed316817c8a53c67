#include "graph/graph_windows.h"

namespace lekta {

TForm3::TForm3(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form3");
}

TForm4::TForm4(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form4");
    setWindowTitle(QStringLiteral("Построение графиков"));
}

TForm7::TForm7(QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Dialog)
{
    setObjectName("Form7");
}

TForm9::TForm9(QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Dialog)
{
    setObjectName("Form9");
    setFixedSize(425, 64);
}

TForm11::TForm11(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form11");
    setWindowTitle(QStringLiteral("Параметры графика"));
}

}  // namespace lekta
