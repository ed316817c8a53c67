#include "app/catalogue_columns.h"

#include "app/catalogue_texts.h"
#include "ui/grid.h"

#include <iterator>

namespace lekta {

static_assert(kColumnProofStress + 1 == kCatalogueColumns);
static_assert(kColumnGaugeBase == kFirstExtensometerColumn);

namespace {

struct Def {
    const char* name;
    const char* caption;
    int width;
    int min_width;
};
// Captions break lines with "\r\n"; the leading spaces centre the
// shorter upper lines, and column 11 ends with a Latin H.
const Def defs[] = {
    {"NxTextColumn15", "Имя файла", 60, 0},
    {"NxTextColumn1", "Серия", 35, 35},
    {"NxTextColumn2", "№", 28, 28},
    {"NxTextColumn3", "Дата", 56, 56},
    {"NxTextColumn4", "Время", 49, 0},
    {"NxTextColumn16", "Режим", 62, 0},
    {"NxTextColumn5", "Форма образца", 71, 0},
    {"NxTextColumn6", "Размер, мм", 60, 0},
    {"NxTextColumn7", "Площадь \r\nS, мм.кв", 48, 0},
    {"NxTextColumn8", "     Скорость\r\nнагружения, мм/с.", 80, 0},
    {"NxTextColumn9", "       Предел\r\nтекучести δт, мПа", 84, 0},
    {"NxTextColumn10", "   Нагрузка\r\nтекучести Fт, кH", 75, 0},
    {"NxTextColumn11", "        Предел\r\nпрочности δв, мПа", 82, 0},
    {"NxTextColumn12", "Разрушающая\r\nнагрузка Fв, кН", 70, 0},
    {"NxTextColumn13", "База \r\nэкстензо-\r\nметра, мм", 60, 50},
    {"NxTextColumn14", "Нагрузка \r\nтекучести,\r\nусловная F0.2, кН", 96, 0},
    {"NxTextColumn17", "Предел текучести,\r\nусловный б0.2, мм", 100, 0},
};

}  // namespace

int catalogue_default_width(int column)
{
    if (column < 0 || column >= static_cast<int>(std::size(defs)))
        return 80;
    return defs[column].width;
}

void add_catalogue_columns(ui::Grid& grid)
{
    int index = 0;
    for (const Def& d : defs) {
        ui::GridColumn c;
        c.name = QString::fromUtf8(d.name);
        c.caption = QString::fromUtf8(d.caption);
        c.width = d.width;
        c.min_width = d.min_width;
        c.alignment = Qt::AlignCenter;
        // The last three keep the grid's default options: no header sorting,
        // no automatic sizing.
        c.sortable = index < 14;
        c.auto_size = index < 14;
        grid.AddColumn(c);
        ++index;
    }
}

}  // namespace lekta
