#include "app/delete_form.h"

namespace lekta {

TForm8::TForm8(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName("Form8");
    setWindowTitle(QStringLiteral("Удаление"));
}

}  // namespace lekta
