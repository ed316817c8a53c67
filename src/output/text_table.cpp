#include "output/text_table.h"

#include "ui/grid.h"

namespace lekta::output {

int GridTexts::RowCount() const
{
    return grid_->RowCount();
}

const QString& GridTexts::Cell(int column, int row) const
{
    return grid_->Cell(column, row);
}

}  // namespace lekta::output
