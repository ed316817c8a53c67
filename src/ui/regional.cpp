#include "ui/regional.h"

#include "common/number_text.h"

#include <QLocale>

namespace lekta::ui {

void apply_regional_settings()
{
    number_format().decimal_separator = QLocale::system().decimalPoint().toStdString();
}

}  // namespace lekta::ui
