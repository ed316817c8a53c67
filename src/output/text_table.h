#pragma once
// The texts of a grid as the exports read them: rows in the grid's current
// (displayed) order, every column whether shown or hidden.
#include <QString>

namespace lekta::ui {
class Grid;
}

namespace lekta::output {

class TextTable {
public:
    virtual ~TextTable() = default;
    virtual int RowCount() const = 0;
    virtual const QString& Cell(int column, int row) const = 0;
};

// A window's grid; sorting by a header click reorders its rows in place.
class GridTexts : public TextTable {
public:
    explicit GridTexts(const ui::Grid& grid) : grid_(&grid) {}
    int RowCount() const override;
    const QString& Cell(int column, int row) const override;

private:
    const ui::Grid* grid_;
};

}  // namespace lekta::output
