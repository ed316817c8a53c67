#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/grid.h"

#include <QHeaderView>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace lekta::ui;

namespace {

void click_header(Grid& g, int column)
{
    QHeaderView* h = g.horizontalHeader();
    const int x = h->sectionViewportPosition(column) + h->sectionSize(column) / 2;
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(x, h->height() / 2));
}

QStringList column_texts(const Grid& g, int column)
{
    QStringList out;
    for (int r = 0; r < g.RowCount(); ++r)
        out << g.Cell(column, r);
    return out;
}

}  // namespace

TEST(Grid, HeaderClickSortsSortableColumnsByTextAndTogglesOrder)
{
    Grid g;
    g.AddColumn({"A", "Имя", 60, 0, true, true, false});
    g.AddColumn({"B", "Прочее", 60, 0, true, false, false});
    g.resize(400, 300);
    g.show();
    const QStringList names = {"b.bmd", "A.bmd", "c.bmd", "a2.bmd"};
    for (int i = 0; i < names.size(); ++i) {
        const int r = g.AddRow();
        g.SetCell(0, r, names[i]);
        g.SetCell(1, r, QString::number(i));
    }
    click_header(g, 0);
    EXPECT_EQ(column_texts(g, 0), (QStringList{"A.bmd", "a2.bmd", "b.bmd", "c.bmd"}));
    // Whole rows move together.
    EXPECT_EQ(column_texts(g, 1), (QStringList{"1", "3", "0", "2"}));
    click_header(g, 0);
    EXPECT_EQ(column_texts(g, 0), (QStringList{"c.bmd", "b.bmd", "a2.bmd", "A.bmd"}));
    // A column without header sorting ignores the click.
    click_header(g, 1);
    EXPECT_EQ(column_texts(g, 0), (QStringList{"c.bmd", "b.bmd", "a2.bmd", "A.bmd"}));
}

// Rows given anew (the catalogue rebuilt, another test's table) are in the
// order given: the header shows no sort, and the next click sorts upwards.
// A double-click on the empty part of the table is told with row -1.
TEST(Grid, NewRowsShowNoSortAndTheEmptyPartTakesDoubleClicks)
{
    Grid g;
    g.AddColumn({"A", "Серия", 20, 0, true, true, false});
    g.resize(400, 300);
    g.show();
    for (const char* name : {"b", "a"})
        g.SetCell(0, g.AddRow(), name);
    click_header(g, 0);
    click_header(g, 0);
    ASSERT_EQ(g.horizontalHeader()->sortIndicatorSection(), 0);
    ASSERT_TRUE(g.horizontalHeader()->isSortIndicatorShown());
    std::vector<GridRow> rows;
    const std::function<void()> refills[] = {[&] { g.ClearRows(); }, [&] { g.SwapRows(rows); }};
    for (const auto& refill : refills) {
        click_header(g, 0);
        refill();
        EXPECT_FALSE(g.horizontalHeader()->isSortIndicatorShown());
    }
    g.SetCell(0, g.AddRow(), "b");
    g.SetCell(0, g.AddRow(), "a");
    click_header(g, 0);
    EXPECT_EQ(column_texts(g, 0), (QStringList{"a", "b"}));

    std::vector<int> clicked;
    QObject::connect(&g, &Grid::RowDoubleClicked, [&](int row) { clicked.push_back(row); });
    auto double_click = [&](QPoint at) {
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, at);
    };
    double_click(g.visualRect(g.model()->index(1, 0)).center());
    double_click(QPoint(10, g.viewport()->height() - 5));
    g.ClearRows();
    double_click(QPoint(10, 10));
    EXPECT_EQ(clicked, (std::vector<int>{1, -1, -1}));
}

// The delete dialog acts on the selection: after a sort it must still mean
// the rows the operator chose, and their hidden keys travel with them.
TEST(Grid, SelectionCurrentRowAndKeysFollowTheirRowsThroughASort)
{
    Grid g;
    g.AddColumn({"A", "Имя", 60, 0, true, true, false});
    g.resize(400, 300);
    g.show();
    for (const char* name : {"b", "c", "d", "a"}) {
        const int r = g.AddRow();
        g.SetCell(0, r, name);
        g.SetRowKey(r, QByteArray(name) + "-key");
    }
    g.SelectRow(0);        // "b"
    g.SelectRow(2, true);  // "d", now the current row
    click_header(g, 0);
    ASSERT_EQ(column_texts(g, 0), (QStringList{"a", "b", "c", "d"}));
    QStringList chosen;
    for (int r : g.SelectedRows())
        chosen << g.Cell(0, r);
    EXPECT_EQ(chosen, (QStringList{"b", "d"}));
    EXPECT_EQ(g.Cell(0, g.SelectedRow()), "d");
    for (int r = 0; r < g.RowCount(); ++r)
        EXPECT_EQ(g.RowKey(r), g.Cell(0, r).toUtf8() + "-key");
    click_header(g, 0);  // descending
    chosen.clear();
    for (int r : g.SelectedRows())
        chosen << g.Cell(0, r);
    EXPECT_EQ(chosen, (QStringList{"d", "b"}));
}

TEST(Grid, WidthsMinimumsVisibilityAndSpareWidth)
{
    Grid g;
    g.AddColumn({"A", "a", 60, 0, true, true, true});
    g.AddColumn({"B", "b", 35, 35, true, true, true});
    g.AddColumn({"C", "c", 100, 0, true, false, false});
    g.resize(200, 100);
    g.show();
    QApplication::processEvents();
    // Narrow grid: designed widths.
    EXPECT_EQ(g.columnWidth(0), 60);
    EXPECT_EQ(g.columnWidth(2), 100);
    // Wide grid: the auto-sizing columns share the spare width, the fixed one keeps its own.
    g.resize(14 + 2 * 95 + 100 + 4, 100);
    QApplication::processEvents();
    EXPECT_GT(g.columnWidth(0), 60);
    EXPECT_GT(g.columnWidth(1), 35);
    EXPECT_EQ(g.columnWidth(2), 100);
    // Dragging below the minimum snaps back.
    g.horizontalHeader()->resizeSection(1, 10);
    EXPECT_EQ(g.columnWidth(1), 35);
    g.SetColumnVisible(2, false);
    EXPECT_TRUE(g.isColumnHidden(2));
    g.SetColumnVisible(2, true);
    EXPECT_FALSE(g.isColumnHidden(2));
}

TEST(Grid, RowsCellsSelectionAndBatchedUpdates)
{
    Grid g;
    g.AddColumn({"A", "Площадь \r\nS, мм.кв", 60, 0, true, true, false});
    EXPECT_EQ(g.model()->headerData(0, Qt::Horizontal).toString(), "Площадь \r\nS, мм.кв");
    g.BeginUpdate();
    for (int i = 0; i < 5; ++i)
        g.SetCell(0, g.AddRow(), QString::number(i));
    g.EndUpdate();
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.model()->rowCount(), 5);
    g.SelectRow(1);
    g.SelectRow(3, true);
    EXPECT_EQ(g.SelectedRows(), (QList<int>{1, 3}));
    g.DeleteRow(1);
    EXPECT_EQ(g.Cell(0, 1), "2");
    EXPECT_THROW(g.Cell(0, 9), std::out_of_range);
    EXPECT_THROW(g.DeleteRow(-1), std::out_of_range);
    g.ClearRows();
    EXPECT_EQ(g.RowCount(), 0);
    EXPECT_EQ(g.SelectedRow(), -1);
}

// A live table grows by thousands of filled rows at a time: one insertion,
// the cells in place, the selection kept, columns widened for longer texts.
TEST(Grid, AppendRowsAddsFilledRowsInOneInsertion)
{
    Grid g;
    g.AddColumn({"A", "F", 40, 0, true, false, false});
    g.AddColumn({"B", "H", 40, 0, true, false, false});
    g.resize(300, 200);
    g.show();
    g.AppendRows({{"1", "2"}});
    g.SelectRow(0);
    int inserts = 0;
    QObject::connect(g.model(), &QAbstractItemModel::rowsInserted, [&] { ++inserts; });
    const int narrow = g.ColumnWidthOf(1);
    EXPECT_EQ(g.AppendRows({{"3", "123456789,123456"}, {"5"}, {}}), 1);
    EXPECT_EQ(inserts, 1);
    ASSERT_EQ(g.RowCount(), 4);
    EXPECT_EQ(g.Cell(1, 1), "123456789,123456");
    EXPECT_EQ(g.Cell(0, 2), "5");
    EXPECT_TRUE(g.Cell(1, 2).isEmpty());
    EXPECT_TRUE(g.Cell(0, 3).isEmpty());
    EXPECT_EQ(g.SelectedRows(), QList<int>{0});
    EXPECT_GT(g.ColumnWidthOf(1), narrow);
    EXPECT_EQ(g.AppendRows({}), 4);
    EXPECT_EQ(inserts, 1);
}

TEST(ErrorDisplay, ShowsTheTextAndKeepsGoing)
{
    ScriptedDialogs d;
    set_error_dialogs(&d);
    EXPECT_FALSE(guarded([] { throw std::runtime_error("Range check error"); }));
    EXPECT_TRUE(guarded([] {}));
    ASSERT_EQ(d.shown().size(), 1u);
    EXPECT_EQ(d.shown()[0].text, "Range check error");
    EXPECT_EQ(d.shown()[0].icon, Icon::Error);
    reset_error_display();
}

// Generated rows write their texts when first shown, read or changed; a
// change of the rows' number or order writes them all and keeps them right.
TEST(Grid, GeneratedRowsAreWrittenWhenNeeded)
{
    Grid g;
    g.AddColumn({"A", "N", 60, 0, true, true, false});
    g.AddColumn({"B", "Text", 60, 0, true, false, false});
    int calls = 0;
    const int n = 5000;
    g.SetGeneratedRows(n,
                       [&calls](int c, int r) {
                           ++calls;
                           return c == 0 ? QString::number(n - r) : QStringLiteral("r%1").arg(r);
                       },
                       {"5000", "r4999"});
    EXPECT_EQ(g.RowCount(), n);
    EXPECT_EQ(g.model_texts()->written_rows(), 0);
    EXPECT_EQ(g.Cell(1, 123), "r123");
    EXPECT_EQ(g.Cell(0, 123), "4877");
    EXPECT_EQ(calls, 2);  // one row, both columns, once

    // A screenful is written when shown, not the whole table.
    g.resize(300, 300);
    g.show();
    QTest::qWait(1);
    g.viewport()->repaint();
    EXPECT_GT(g.model_texts()->written_rows(), 5);
    EXPECT_LT(g.model_texts()->written_rows(), 100);
    // The longest texts given size the columns without reading every row.
    EXPECT_LT(g.model_texts()->written_rows(), 100);

    g.SetCell(1, 7, "seven");
    EXPECT_EQ(g.Cell(1, 7), "seven");
    EXPECT_EQ(g.Cell(0, 7), "4993");

    // Sorting by text writes every row first.
    g.SortColumn(1, true);
    EXPECT_EQ(g.model_texts()->written_rows(), n);
    EXPECT_EQ(g.Cell(1, 0), "r0");
    EXPECT_EQ(g.Cell(1, n - 1), "seven");
    EXPECT_EQ(g.Cell(0, n - 1), "4993");

    // A new set replaces every row; deleting writes the rest first.
    g.SetGeneratedRows(3, [](int c, int r) { return QStringLiteral("%1:%2").arg(c).arg(r); }, {});
    EXPECT_EQ(g.model_texts()->written_rows(), 0);
    g.DeleteRow(0);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.Cell(0, 0), "0:1");
    EXPECT_EQ(g.Cell(1, 1), "1:2");
    const int r = g.AddRow();
    EXPECT_EQ(g.Cell(0, r), "");

    // Rows swapped in replace generated ones; those leave unwritten.
    g.SetGeneratedRows(4, [](int, int) { return QStringLiteral("x"); }, {});
    std::vector<GridRow> rows(2);
    rows[0].cells = {"a", "b"};
    g.SwapRows(rows);
    EXPECT_EQ(rows.size(), 4u);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.Cell(1, 0), "b");
    EXPECT_EQ(g.Cell(0, 1), "");
}
