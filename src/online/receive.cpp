#include "online/receive.h"

#include "app/shell_state.h"
#include "chart/chart.h"
#include "online/online_state.h"
#include "ui/error_display.h"
#include "ui/grid.h"
#include "ui/guarded_connect.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QShowEvent>
#include <QSplitter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace lekta {

namespace {

const QString kWaiting = QStringLiteral("Ожидание готовности прибора ...");
const QString kLinkLost = QStringLiteral("Связь с прибором потеряна !");
const QString kNotFound = QStringLiteral(
    "Прибор не обнаружен! Проверте правильность подключения согласно инструкции!");

// The point table repaints its visible rows at every response, and its
// cells are short numbers: one drawText each instead of the style's whole
// item layout.
class NumberCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        if (selected)
            painter->fillRect(option.rect, option.palette.highlight());
        painter->setPen(selected ? option.palette.highlightedText().color()
                                 : option.palette.text().color());
        painter->setFont(option.font);
        const QVariant align = index.data(Qt::TextAlignmentRole);
        const int flags = align.isValid() ? align.toInt() : int(Qt::AlignCenter);
        painter->drawText(option.rect.adjusted(2, 0, -2, 0), flags,
                          index.data(Qt::DisplayRole).toString());
    }
};

QFrame* panel(const char* name, QWidget* parent)
{
    auto* p = new QFrame(parent);
    p->setObjectName(name);
    p->setFrameShape(QFrame::NoFrame);
    return p;
}

QLabel* text(const char* name, const QString& caption, QWidget* parent)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    return l;
}

}  // namespace

TForm2::TForm2(ui::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs)
{
    setObjectName("Form2");
    setWindowTitle(QStringLiteral("Прием данных"));
    setWindowState(Qt::WindowMaximized);
    resize(1024, 700);
    setSizeGripEnabled(false);

    build_menu();

    // The result strip: five large bold labels, empty at first.
    Panel3 = panel("Panel3", this);
    Panel3->setFixedHeight(31);
    auto* strip = new QHBoxLayout(Panel3);
    strip->setContentsMargins(8, 0, 8, 0);
    strip->setSpacing(12);
    QFont big = font();
    big.setPointSize(12);
    big.setBold(true);
    std::array<QLabel**, 5> labels{&Label1, &Label2, &Label3, &Label4, &Label5};
    for (int i = 0; i < 5; ++i) {
        *labels[i] = text(("Label" + std::to_string(i + 1)).c_str(), QString(), Panel3);
        (*labels[i])->setFont(big);
        // Each label as wide as its text (never cut), the spare width shared.
        strip->addWidget(*labels[i], 1);
    }

    // The point table and the information group on the left.
    Panel1 = panel("Panel1", this);
    NextGrid1 = new ui::Grid(Panel1);
    NextGrid1->setObjectName("NextGrid1");
    NextGrid1->setItemDelegate(new NumberCellDelegate(NextGrid1));
    NextGrid1->AddColumn(
        {"NxTextColumn1", QStringLiteral("F, кН"), 51, 0, true, false, false, Qt::AlignCenter});
    NextGrid1->AddColumn(
        {"NxTextColumn2", QStringLiteral("H Δ,  мм."), 52, 0, true, false, false, Qt::AlignCenter});
    NextGrid1->AddColumn(
        {"NxTextColumn3", QStringLiteral("H Δe, мм"), 60, 0, true, false, false, Qt::AlignCenter});
    // The column wide enough for its caption and the longest value it will
    // hold, and the panel wide enough for the columns, so that nothing is cut
    // off and no sideways scrolling is needed in this font.
    const QFontMetrics grid_metrics(NextGrid1->font());
    const QFontMetrics header_metrics(NextGrid1->horizontalHeader()->font());
    const char* const widest[] = {"9999,999", "9999,999", "99,9999"};
    int table_width = NextGrid1->verticalHeader()->width() + 2 * NextGrid1->frameWidth() +
                      NextGrid1->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
    for (int c = 0; c < 3; ++c) {
        const int w = std::max(
            {NextGrid1->Column(c).width, grid_metrics.horizontalAdvance(widest[c]) + 12,
             header_metrics.horizontalAdvance(NextGrid1->Column(c).caption) + 10});
        NextGrid1->SetColumnWidth(c, w);
        table_width += w;
    }
    Panel1->setFixedWidth(std::max(185, table_width));
    GroupBox1 = new QGroupBox(QStringLiteral("Информация"), Panel1);
    GroupBox1->setObjectName("GroupBox1");
    StaticText4 = text("StaticText4", QStringLiteral("Тип прибора:"), GroupBox1);
    StaticText5 = text("StaticText5", QString(), GroupBox1);
    StaticText3 = text("StaticText3", QStringLiteral("Версия ПО:"), GroupBox1);
    StaticText1 = text("StaticText1", QString(), GroupBox1);
    StaticText6 = text("StaticText6", QStringLiteral("Количество записей:"), GroupBox1);
    StaticText7 = text("StaticText7", QString(), GroupBox1);
    auto* info = new QGridLayout(GroupBox1);
    info->setContentsMargins(6, 4, 6, 6);
    info->setHorizontalSpacing(6);
    info->addWidget(StaticText4, 0, 0);
    info->addWidget(StaticText5, 0, 1);
    info->addWidget(StaticText3, 1, 0);
    info->addWidget(StaticText1, 1, 1);
    info->addWidget(StaticText6, 2, 0);
    info->addWidget(StaticText7, 2, 1);
    info->setColumnStretch(1, 1);
    auto* left = new QVBoxLayout(Panel1);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(4);
    left->addWidget(NextGrid1, 1);
    left->addWidget(GroupBox1);

    build_charts();

    // The status line along the bottom.
    StaticText2 = text("StaticText2", kWaiting, this);
    QFont bold = font();
    bold.setBold(true);
    StaticText2->setFont(bold);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedWidth(200);
    CheckBox1 = new QCheckBox(QStringLiteral("Сохранить двоичный файл"), this);
    CheckBox1->setObjectName("CheckBox1");
    auto* status = new QHBoxLayout;
    status->setContentsMargins(8, 2, 8, 4);
    status->addWidget(StaticText2, 1);
    status->addWidget(CheckBox1);
    status->addWidget(ProgressBar1);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(4);
    body->addWidget(Panel1);
    body->addWidget(Splitter1, 1);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(2);
    root->setMenuBar(MainMenu1);
    root->addWidget(Panel3);
    root->addLayout(body, 1);
    root->addLayout(status);

    // The picture of Chart1, asked for by "Сохранить График в  Файл".
    SavePictureDialog1.title = QStringLiteral("Сохранить рисунок как");
    SavePictureDialog1.default_ext = QStringLiteral("jpg");
    SavePictureDialog1.filter = QStringLiteral("JPEG Image File (*.jpg)|*.jpg");
    SavePictureDialog1.filter_index = 2;

    session_ = std::make_unique<LinkSession>(*this);
    FormCreate();
}

TForm2::~TForm2() = default;

void TForm2::build_menu()
{
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName("MainMenu1");
    N1 = MainMenu1->addMenu(QStringLiteral("Параметры"));
    N1->setObjectName("N1");
    auto item = [this](QAction*& a, const char* name, const QString& caption,
                       void (TForm2::*handler)()) {
        a = N1->addAction(caption);
        a->setObjectName(name);
        ui::connect_guarded(a, &QAction::triggered, this, handler);
    };
    item(N2, "N2", QStringLiteral("Настройки Графика"), &TForm2::N2Click);
    N1->addSeparator();
    item(N3, "N3", QStringLiteral("Экспорт"), &TForm2::N3Click);
    item(N5, "N5", QStringLiteral("Сохранить График в  Файл"), &TForm2::N5Click);
    item(Gt1, "Gt1", QStringLiteral("Печать Графика"), &TForm2::Gt1Click);
    N1->addSeparator();
    item(N4, "N4", QStringLiteral("Выход"), &TForm2::N4Click);
}

void TForm2::build_charts()
{
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName("Splitter1");
    Splitter1->setChildrenCollapsible(false);

    Panel4 = panel("Panel4", Splitter1);
    Chart1 = new ui::Chart(Panel4);
    Chart1->setObjectName("Chart1");
    auto* centre = new QVBoxLayout(Panel4);
    centre->setContentsMargins(0, 0, 0, 0);
    centre->addWidget(Chart1);
    // A live chart: the chart paints its curves itself, so a response costs
    // the same however long the curve has grown.
    Chart1->SetSeriesDrawing(ui::SeriesDrawing::Direct);
    Chart1->Title().SetAlignment(Qt::AlignRight);
    Chart1->BottomAxis().SetTitle(QStringLiteral("Δ ,мм "));
    Chart1->BottomAxis().SetMinMax(0, 50);
    Chart1->BottomAxis().SetIncrement(1);
    Chart1->LeftAxis().SetTitle(QStringLiteral("F, кН"));
    Chart1->LeftAxis().SetMinMax(-0.2, 20);
    Series1 = Chart1->AddSeries(ui::SeriesKind::Line);
    Series1->SetColor(255);
    Series2 = Chart1->AddSeries(ui::SeriesKind::FastLine);
    Series2->SetColor(16711680);

    Panel2 = panel("Panel2", Splitter1);
    Chart2 = new ui::Chart(Panel2);
    Chart2->setObjectName("Chart2");
    auto* right = new QVBoxLayout(Panel2);
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(Chart2);
    Chart2->SetSeriesDrawing(ui::SeriesDrawing::Direct);
    Chart2->BottomAxis().SetTitle(QStringLiteral("Δ ,мм "));
    Chart2->BottomAxis().SetIncrement(0.01);
    Chart2->LeftAxis().SetTitle(QStringLiteral("F, кН"));
    Chart2->LeftAxis().SetMinimum(-0.2);
    LineSeries1 = Chart2->AddSeries(ui::SeriesKind::Line);
    LineSeries1->SetColor(255);
    FastLineSeries1 = Chart2->AddSeries(ui::SeriesKind::FastLine);
    FastLineSeries1->SetColor(16711680);

    Splitter1->addWidget(Panel4);
    Splitter1->addWidget(Panel2);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Panel2->resize(227, Panel2->height());
    Splitter1->setSizes({800, 227});
}

void TForm2::run(const std::function<void()>& handler)
{
    ui::guarded(handler);
}

// Once, when the program creates its windows: from here on the watchdog ticks.
void TForm2::FormCreate()
{
    CheckBox1->setVisible(false);
    session_->FormCreate();
}

int TForm2::line_width_of(const QString& setting)
{
    bool ok = false;
    const int width = setting.toInt(&ok, 10);
    return ok ? width : 3;
}

void TForm2::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        run([this] { FormShow(); });
}

void TForm2::FormShow()
{
    closing_ = false;
    const ShellState& s = shell();
    // A setting that is not a whole number must not keep the run from starting.
    Series1->SetLineWidth(line_width_of(s.line_width));
    Series1->SetColor(s.color_f);
    Series2->SetColor(s.color_ft);
    CheckBox1->setChecked(false);
    // A zoom of the previous run would hide the new curve. A new run starts
    // with both charts empty, as it does with the table, and without the
    // previous run's ending in the title.
    Chart1->UndoZoom();
    Chart2->UndoZoom();
    Chart1->Title().Clear();
    for (ui::ChartSeries* cleared : {Series1, Series2, LineSeries1, FastLineSeries1})
        cleared->Clear();

    LinkProtocol& link = session_->protocol();
    link.start_prepare(online_state().chosen_port_name);
    ProgressBar1->setValue(0);
    StaticText7->clear();
    StaticText5->clear();
    StaticText1->clear();
    StaticText2->setText(kWaiting);
    setWindowTitle(QStringLiteral("Прием данных"));
    link.start_dialogue();
}

void TForm2::done(int)
{
    // However the window is closed: "Выход", the title bar, Esc, the give-up message.
    if (!closing_ && isVisible()) {
        closing_ = true;
        run([this] { FormClose(); });
    }
    QDialog::done(QDialog::Rejected);
}

void TForm2::FormClose()
{
    // Nothing is saved and nothing is asked.
    session_->protocol().stop_on_close();
}

void TForm2::N4Click()
{
    session_->protocol().stop_on_exit();
    ProgressBar1->setValue(0);
    done(QDialog::Rejected);
}

void TForm2::N2Click()
{
    if (commands.graph_parameters)
        commands.graph_parameters();
}

void TForm2::N3Click()
{
    if (commands.export_curve)
        commands.export_curve();
}

void TForm2::N5Click()
{
    if (commands.save_picture)
        commands.save_picture();
}

void TForm2::Gt1Click()
{
    if (commands.print_chart)
        commands.print_chart();
}

void TForm2::clear_point_table()
{
    // From the last row to the first, as the table was always emptied.
    NextGrid1->ClearRows();
}

void TForm2::clear_main_curves(bool reset_limits)
{
    Series1->Clear();
    Series2->Clear();
    if (reset_limits) {
        Chart1->LeftAxis().SetMaximum(20);
        Chart1->BottomAxis().SetMaximum(50);
    }
}

// --- the engine's view ----------------------------------------------------

ui::Chart* TForm2::chart(LinkChart which) const
{
    return which == LinkChart::Main ? Chart1 : Chart2;
}

ui::ChartSeries* TForm2::series(LinkSeries which) const
{
    switch (which) {
    case LinkSeries::LoadCurve: return Series1;
    case LinkSeries::FtLine: return Series2;
    case LinkSeries::ExtensometerCurve: return LineSeries1;
    case LinkSeries::F02Line: return FastLineSeries1;
    }
    return Series1;
}

void TForm2::set_extensometer_chart_visible(bool visible)
{
    Panel2->setVisible(visible);
}

void TForm2::set_main_chart_title(const std::string& text)
{
    Chart1->Title().SetText(QString::fromStdString(text));
}

void TForm2::set_label(int index, const std::string& text)
{
    QLabel* const labels[] = {Label1, Label2, Label3, Label4, Label5};
    if (index >= 1 && index <= 5)
        labels[index - 1]->setText(QString::fromStdString(text));
}

void TForm2::set_record_count_text(const std::string& text)
{
    StaticText7->setText(QString::fromStdString(text));
}

void TForm2::add_points(LinkSeries which, const std::vector<LinkPoint>& points)
{
    series(which)->AppendPoints(points);
}

SeriesExtent TForm2::extent(LinkSeries which) const
{
    const ui::ChartSeries* s = series(which);
    return {s->MinXValue(), s->MaxXValue(), s->MinYValue(), s->MaxYValue()};
}

double TForm2::bottom_minimum(LinkChart which) const
{
    return chart(which)->BottomAxis().Minimum();
}

double TForm2::bottom_maximum(LinkChart which) const
{
    return chart(which)->BottomAxis().Maximum();
}

void TForm2::set_bottom_minimum(LinkChart which, double value)
{
    ui::ChartAxis& a = chart(which)->BottomAxis();
    if (a.AutomaticMinimum() || a.Minimum() != value)
        a.SetMinimum(value);
}

void TForm2::set_bottom_maximum(LinkChart which, double value)
{
    ui::ChartAxis& a = chart(which)->BottomAxis();
    if (a.AutomaticMaximum() || a.Maximum() != value)
        a.SetMaximum(value);
}

void TForm2::set_left_minimum(LinkChart which, double value)
{
    ui::ChartAxis& a = chart(which)->LeftAxis();
    if (a.AutomaticMinimum() || a.Minimum() != value)
        a.SetMinimum(value);
}

void TForm2::set_left_maximum(LinkChart which, double value)
{
    ui::ChartAxis& a = chart(which)->LeftAxis();
    if (a.AutomaticMaximum() || a.Maximum() != value)
        a.SetMaximum(value);
}

void TForm2::set_manual_left_minimum_bottom_maximum(LinkChart which)
{
    ui::Chart* c = chart(which);
    if (c->LeftAxis().AutomaticMinimum())
        c->LeftAxis().SetAutomaticMinimum(false);
    if (c->BottomAxis().AutomaticMaximum())
        c->BottomAxis().SetAutomaticMaximum(false);
}

void TForm2::add_rows(const std::vector<PointRow>& rows)
{
    std::vector<std::vector<QString>> cells;
    cells.reserve(rows.size());
    for (const PointRow& r : rows) {
        cells.push_back(
            {QString::fromUtf8(r.f.data(), qsizetype(r.f.size())),
             QString::fromUtf8(r.h.data(), qsizetype(r.h.size())),
             r.has_he ? QString::fromUtf8(r.he.data(), qsizetype(r.he.size())) : QString()});
    }
    NextGrid1->AppendRows(std::move(cells));
}

void TForm2::link_lost()
{
    Chart1->Title().SetText(kLinkLost);
    StaticText2->setText(kLinkLost);
}

void TForm2::unit_not_found()
{
    dialogs_.message_box({QStringLiteral("Ошибка"), kNotFound, ui::Icon::Error, {"OK"}});
    done(QDialog::Rejected);
}

int TForm2::curve_line_width() const
{
    return Series1->LineWidth();
}

void TForm2::apply_line_settings(int width, std::int32_t colour_f, std::int32_t colour_ft)
{
    Series1->SetColor(colour_f);
    Series1->SetLineWidth(width);
    Series2->SetColor(colour_ft);
    Series1->Repaint();
    Series2->Repaint();
}

}  // namespace lekta
