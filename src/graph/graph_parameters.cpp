#include "graph/graph_parameters.h"

#include "app/shell_state.h"
#include "graph/graf.h"
#include "graph/graph_state.h"
#include "graph/results_panel.h"
#include "common/number_text.h"
#include "chart/chart.h"
#include "chart/chart_series.h"
#include "ui/colour_box.h"
#include "ui/error_display.h"
#include "ui/grid.h"
#include "ui/guarded_connect.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <vector>

namespace lekta {

namespace {

int whole_number(const QComboBox& box)
{
    return parse_int(box.currentText().toStdString());
}

}  // namespace

TForm11::TForm11(QWidget* parent)
    // Customised: only the title and the close button, no minimise or maximise.
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName("Form11");
    setWindowTitle(QStringLiteral("Параметры графика"));
    setModal(true);

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->addItems({"1", "2", "3"});
    ComboBox1->setEditText("1");
    ColorBox1 = new ui::ColorBox(ui::ColorBox::Standard | ui::ColorBox::System | ui::ColorBox::Custom, this);
    ColorBox1->setObjectName("ColorBox1");
    ColorBox1->SetSelected(0x0000FF);
    ColorBox2 = new ui::ColorBox(ui::ColorBox::Standard | ui::ColorBox::Extended | ui::ColorBox::System |
                                     ui::ColorBox::Custom,
                                 this);
    ColorBox2->setObjectName("ColorBox2");
    ColorBox2->SetSelected(0xFF0000);
    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName("ComboBox2");
    ComboBox2->setEditable(true);
    ComboBox2->addItems({"-1", "0", "+1"});
    ComboBox2->setCurrentIndex(1);

    Label1 = new QLabel(QStringLiteral("Толщина линии, px"), this);
    Label2 = new QLabel(QStringLiteral("Цвет линии, F"), this);
    Label3 = new QLabel(QStringLiteral("Цвет линии, Ft"), this);
    Label4 = new QLabel(QStringLiteral("Смещение графика"), this);
    auto* form = new QFormLayout;
    form->addRow(Label1, ComboBox1);
    form->addRow(Label2, ColorBox1);
    form->addRow(Label3, ColorBox2);
    form->addRow(Label4, ComboBox2);
    for (QWidget* w : {static_cast<QWidget*>(ComboBox1), static_cast<QWidget*>(ColorBox1),
                       static_cast<QWidget*>(ColorBox2), static_cast<QWidget*>(ComboBox2)})
        w->setMinimumWidth(190);

    Button2 = new QPushButton(QStringLiteral("ОК"), this);
    Button2->setObjectName("Button2");
    Button2->setDefault(true);
    Button1 = new QPushButton(QStringLiteral("Отмена"), this);
    Button1->setObjectName("Button1");
    ui::connect_guarded(Button2, &QPushButton::clicked, this, &TForm11::Button2Click);
    ui::connect_guarded(Button1, &QPushButton::clicked, this, &TForm11::Button1Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TForm11::set_dialogs(ui::Dialogs* dialogs)
{
    ColorBox1->set_dialogs(dialogs);
    ColorBox2->set_dialogs(dialogs);
}

void TForm11::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm11::FormShow()
{
    const ShellState& s = shell();
    ColorBox1->SetSelected(s.color_f);
    ColorBox2->SetSelected(s.color_ft);
    ComboBox1->setEditText(s.line_width);
    // ComboBox2 keeps the offset chosen last in this run.
}

void TForm11::Button1Click()
{
    reject();
}

void TForm11::Button2Click()
{
    // Everything that can fail is converted first: a text that is not a
    // whole number, or a point table cell that is not a number, stops here
    // with the conversion error and leaves the windows as they were.
    const double ft = graph_state().Ft;
    const int offset = whole_number(*ComboBox2);
    const int width = whole_number(*ComboBox1);
    // While the loader fills the hidden graph window its curve is not ours
    // to rebuild; once the window is up its curve is complete.
    const bool graph_free = graph_ && (graph_->isVisible() || !shell().buffer_busy);
    std::vector<ui::ChartPoint> curve;
    if (graph_free) {
        const ui::Grid& table = *graph_->NextGrid1;
        const int rows = table.RowCount();
        curve.reserve(static_cast<size_t>(rows));
        for (int r = 0; r < rows; ++r) {
            const QString& h = table.Cell(1, r);
            if (h.isEmpty())
                continue;
            curve.push_back({parse_number(h.toStdString()), parse_number(table.Cell(0, r).toStdString()) + offset});
        }
    }
    sm = offset;
    const std::int32_t colour_f = ColorBox1->Selected();
    const std::int32_t colour_ft = ColorBox2->Selected();

    if (graph_free) {
        ui::ChartSeries& s1 = *graph_->Series1;
        ui::ChartSeries& s2 = *graph_->Series2;
        s2.Clear();
        s1.ReplacePoints(std::move(curve));
        // The Ft line only in the F(H) view, and only for a test that has one.
        if (s2.Active() && graph_state().ft_line) {
            s2.AddXY(s1.MinXValue(), ft + sm);
            s2.AddXY(s1.MaxXValue(), ft + sm);
        }
        graph_->ResultsPanel1->SetTravelOffset(sm);
    }
    if (online_curve_) {
        online_curve_->SetColor(colour_f);
        online_curve_->SetLineWidth(width);
    }
    if (online_ft_)
        online_ft_->SetColor(colour_ft);
    if (graph_) {
        graph_->Series1->SetColor(colour_f);
        graph_->Series2->SetColor(colour_ft);
        graph_->Series1->SetLineWidth(width);
    }
    ShellState& s = shell();
    const ui::ChartSeries* width_source = online_curve_ ? online_curve_ : graph_ ? graph_->Series1 : nullptr;
    s.line_width = QString::number(width_source ? width_source->LineWidth() : width);
    s.color_f = colour_f;
    s.color_ft = colour_ft;

    for (ui::ChartSeries* series : {online_curve_, graph_ ? graph_->Series1 : nullptr, online_ft_,
                                    graph_ ? graph_->Series2 : nullptr})
        if (series)
            series->Repaint();
    accept();
}

}  // namespace lekta
