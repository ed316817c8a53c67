#include "online/port_dialog.h"

namespace lekta {

TForm10::TForm10(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName("Form10");
    setWindowTitle(QStringLiteral("Com Port"));
}

}  // namespace lekta
