#include "series/series_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>

#include "app/shell_state.h"
#include "chart/chart.h"
#include "common/number_text.h"
#include "graph/radio_group.h"
#include "ui/colour.h"
#include "ui/error_display.h"
#include "ui/guarded_connect.h"

namespace lekta {

using series::Deformation;
using series::SeriesView;

namespace {

QIcon swatch(std::int32_t colour)
{
    QPixmap p(24, 12);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.fillRect(QRect(0, 4, 24, 4), ui::windows_colour(colour));
    return QIcon(p);
}

}  // namespace

TForm12::TForm12(QWidget* parent) : QDialog(parent, Qt::Window)
{
    setObjectName("Form12");
    setWindowTitle(QStringLiteral("Серия"));
    resize(1280, 860);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    RadioGroup1 = new RadioGroup({QStringLiteral("F(H)"), QStringLiteral("F(H e)")}, this);
    RadioGroup1->setObjectName("RadioGroup1");
    CheckBox1 = new QCheckBox(QStringLiteral("Напряжение, МПа"), this);
    CheckBox1->setObjectName("CheckBox1");
    Button1 = new QPushButton(QStringLiteral("Экспорт"), this);
    Button1->setObjectName("Button1");
    Button2 = new QPushButton(QStringLiteral("Печать"), this);
    Button2->setObjectName("Button2");
    Button3 = new QPushButton(QStringLiteral("Закрыть"), this);
    Button3->setObjectName("Button3");
    top->addWidget(RadioGroup1);
    top->addWidget(CheckBox1);
    top->addStretch(1);
    top->addWidget(Button1);
    top->addWidget(Button2);
    top->addWidget(Button3);
    layout->addLayout(top);

    auto* split = new QSplitter(Qt::Vertical, this);
    auto* upper = new QSplitter(Qt::Horizontal, split);
    Chart1 = new ui::Chart(upper);
    Chart1->setObjectName("Chart1");
    // Many long curves: painted by the chart itself, not restroked by QtCharts at each change.
    Chart1->SetSeriesDrawing(ui::SeriesDrawing::Direct);
    ListBox1 = new QListWidget(upper);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setIconSize(QSize(24, 12));
    upper->addWidget(Chart1);
    upper->addWidget(ListBox1);
    upper->setStretchFactor(0, 1);
    upper->setSizes({1080, 180});
    NextGrid1 = new QTableWidget(split);
    NextGrid1->setObjectName("NextGrid1");
    NextGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    NextGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    NextGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    NextGrid1->verticalHeader()->setVisible(false);
    NextGrid1->verticalHeader()->setDefaultSectionSize(20);
    split->addWidget(upper);
    split->addWidget(NextGrid1);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);

    ui::connect_guarded(RadioGroup1, &RadioGroup::Changed, this, [this](int index) {
        SetView({index == 1 ? Deformation::Extension : Deformation::Travel, view_.stress});
    });
    ui::connect_guarded(CheckBox1, &QCheckBox::toggled, this, [this](bool on) {
        SetView({view_.deformation, on});
    });
    ui::connect_guarded(ListBox1, &QListWidget::currentRowChanged, this,
                        [this](int row) { Highlight(row); });
    ui::connect_guarded(NextGrid1, &QTableWidget::currentCellChanged, this,
                        [this](int row, int, int, int) {
                            Highlight(row < static_cast<int>(shown_.size()) ? row : -1);
                        });
    ui::connect_guarded(Button1, &QPushButton::clicked, this, [this] {
        if (on_export)
            on_export();
    });
    ui::connect_guarded(Button2, &QPushButton::clicked, this, [this] {
        if (on_print)
            on_print();
    });
    ui::connect_guarded(Button3, &QPushButton::clicked, this, [this] { close(); });
}

QString TForm12::TitleText() const
{
    std::set<int> numbers;
    for (const series::SeriesTest& t : shown_)
        numbers.insert(t.series);
    QString list;
    for (int n : numbers)
        list += (list.isEmpty() ? QString() : QStringLiteral(", ")) + QString::number(n);
    return (numbers.size() > 1 ? QStringLiteral("Серии ") : QStringLiteral("Серия ")) + list +
           QStringLiteral(", испытаний: ") + QString::number(shown_.size());
}

void TForm12::ShowSeries(std::vector<series::SeriesTest> tests)
{
    table_ = series::build_series_table(tests);
    shown_.clear();
    for (series::SeriesTest& t : tests)
        if (t.included())
            shown_.push_back(std::move(t));
    any_extensometer_ = false;
    for (const series::SeriesTest& t : shown_)
        any_extensometer_ = any_extensometer_ || t.extensometer;

    const ShellState& s = shell();
    width_ = 2;
    try {
        if (!s.line_width.isEmpty())
            width_ = std::clamp(static_cast<int>(parse_integer(s.line_width.toStdString())), 1, 10);
    } catch (const std::exception&) {
        width_ = 2;  // a setting that is not a whole number: the default
    }
    // A wide pen is stroked as a polygon per segment, many times the cost
    // of a one-pixel line: past a dozen curves (which overlap in a thicket
    // at any width) they are drawn one pixel wide, so a repaint stays quick.
    if (shown_.size() > kWideCurvesAtMost)
        width_ = 1;

    // One series per test, reused from the previous series where there are enough.
    while (static_cast<int>(curves_.size()) < static_cast<int>(shown_.size()))
        curves_.push_back(Chart1->AddSeries(ui::SeriesKind::Line));
    ListBox1->clear();
    for (std::size_t i = 0; i < curves_.size(); ++i) {
        ui::ChartSeries* c = curves_[i];
        if (i >= shown_.size()) {
            c->Clear();
            c->SetActive(false);
            continue;
        }
        const std::int32_t colour = series::curve_colour(i, s.color_f);
        c->SetColor(colour);
        c->SetActive(true);
        auto* item = new QListWidgetItem(swatch(colour), QString::fromStdString(shown_[i].label()),
                                         ListBox1);
        item->setToolTip(QString::fromStdString(shown_[i].file));
    }
    highlighted_ = -1;
    apply_widths();
    fill_table();
    Chart1->Title().SetText(TitleText());
    setWindowTitle(QStringLiteral("Серия — ") + TitleText());
    RadioGroup1->Button(1)->setEnabled(any_extensometer_);
    {
        const QSignalBlocker a(RadioGroup1), b(CheckBox1);
        RadioGroup1->SetItemIndex(0);
        CheckBox1->setChecked(false);
    }
    view_ = {};
    apply_view();
}

void TForm12::SetView(SeriesView view)
{
    if (view.deformation == Deformation::Extension && !any_extensometer_)
        view.deformation = Deformation::Travel;
    view_ = view;
    {
        const QSignalBlocker a(RadioGroup1), b(CheckBox1);
        RadioGroup1->SetItemIndex(view.deformation == Deformation::Extension ? 1 : 0);
        CheckBox1->setChecked(view.stress);
    }
    apply_view();
}

void TForm12::apply_view()
{
    Chart1->UndoZoom();
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        std::vector<ui::ChartPoint> points = series::view_points(shown_[i], view_);
        curves_[i]->SetActive(!points.empty());
        curves_[i]->ReplacePoints(std::move(points));
    }
    Chart1->LeftAxis().SetTitle(QString::fromStdString(series::left_title(view_)));
    Chart1->BottomAxis().SetTitle(QString::fromStdString(series::bottom_title(view_)));
    Chart1->LeftAxis().SetAutomatic(true);
    Chart1->BottomAxis().SetAutomatic(true);
}

void TForm12::Highlight(int index)
{
    if (index < -1 || index >= static_cast<int>(shown_.size()))
        index = -1;
    if (index == highlighted_)
        return;
    highlighted_ = index;
    apply_widths();
    const QSignalBlocker a(ListBox1), b(NextGrid1);
    ListBox1->setCurrentRow(index);
    if (index < 0)
        NextGrid1->clearSelection();
    else
        NextGrid1->selectRow(index);
}

void TForm12::apply_widths()
{
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        const bool picked = highlighted_ == static_cast<int>(i);
        curves_[i]->SetLineWidth(highlighted_ < 0 ? width_ : picked ? width_ + 3 : 1);
    }
}

void TForm12::fill_table()
{
    using series::Statistic;
    const auto& cols = table_.columns;
    const int value_columns = static_cast<int>(cols.size());
    const int stats = static_cast<int>(series::kStatisticCount);
    const int rows = static_cast<int>(table_.rows.size());
    NextGrid1->clear();
    NextGrid1->setColumnCount(value_columns + 3);
    NextGrid1->setRowCount(rows + stats);
    QStringList captions{QString::fromUtf8(series::kTestCaption),
                         QString::fromUtf8(series::kFileCaption)};
    for (const auto& c : cols)
        captions << QString::fromStdString(c.caption);
    captions << QString::fromUtf8(series::kNoteCaption);
    NextGrid1->setHorizontalHeaderLabels(captions);
    auto put = [this](int r, int c, const QString& text, bool bold = false, bool right = true) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        if (bold) {
            QFont f = item->font();
            f.setBold(true);
            item->setFont(f);
        }
        NextGrid1->setItem(r, c, item);
    };
    for (int r = 0; r < rows; ++r) {
        const series::TableRow& row = table_.rows[static_cast<std::size_t>(r)];
        put(r, 0, QString::fromStdString(row.label), false, false);
        put(r, 1, QString::fromStdString(row.file), false, false);
        for (int c = 0; c < value_columns; ++c)
            put(r, c + 2,
                QString::fromStdString(
                    table_.value_text(static_cast<std::size_t>(r), static_cast<std::size_t>(c))));
        put(r, value_columns + 2, QString::fromStdString(row.note), false, false);
        if (!row.included)
            for (int c = 0; c < value_columns + 3; ++c)
                NextGrid1->item(r, c)->setForeground(QColor(160, 0, 0));
    }
    for (int k = 0; k < stats; ++k) {
        const Statistic s = series::statistics_order()[static_cast<std::size_t>(k)];
        put(rows + k, 0, QString::fromStdString(series::statistic_name(s)), true, false);
        for (int c = 0; c < value_columns; ++c)
            put(rows + k, c + 2,
                QString::fromStdString(table_.statistic_text(s, static_cast<std::size_t>(c))),
                true);
        for (int c = 0; c < value_columns + 3; ++c) {
            if (!NextGrid1->item(rows + k, c))
                put(rows + k, c, QString());
            NextGrid1->item(rows + k, c)->setBackground(QColor(236, 240, 248));
        }
    }
    NextGrid1->resizeColumnsToContents();
}

}  // namespace lekta
