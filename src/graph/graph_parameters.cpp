#include "graph/graph_parameters.h"

#include "app/shell_state.h"
#include "common/number_text.h"
#include "ui/colour_box.h"
#include "ui/error_display.h"
#include "ui/graph_settings_target.h"
#include "ui/guarded_connect.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <functional>
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
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName("Form11");
    setWindowTitle(QStringLiteral("Параметры графика"));
    setModal(true);

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->addItems({"1", "2", "3"});
    ComboBox1->setEditText("1");
    ColorBox1 = new ui::ColorBox(
        ui::ColorBox::Standard | ui::ColorBox::System | ui::ColorBox::Custom, this);
    ColorBox1->setObjectName("ColorBox1");
    ColorBox1->SetSelected(0x0000FF);
    ColorBox2 = new ui::ColorBox(ui::ColorBox::Standard | ui::ColorBox::Extended |
                                     ui::ColorBox::System | ui::ColorBox::Custom,
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
    // whole number, or what a window needs for the offset (its point table),
    // stops here with the conversion error and leaves the windows as they were.
    const int offset = whole_number(*ComboBox2);
    const int width = whole_number(*ComboBox1);
    std::vector<std::function<void()>> shifts;
    for (ui::GraphSettingsTarget* target : targets_)
        if (std::function<void()> shift = target->prepare_offset(offset))
            shifts.push_back(std::move(shift));
    sm = offset;
    const std::int32_t colour_f = ColorBox1->Selected();
    const std::int32_t colour_ft = ColorBox2->Selected();

    for (const std::function<void()>& shift : shifts)
        shift();
    for (ui::GraphSettingsTarget* target : targets_)
        target->apply_line_settings(width, colour_f, colour_ft);
    ShellState& s = shell();
    s.line_width = QString::number(targets_.empty() ? width : targets_.front()->curve_line_width());
    s.color_f = colour_f;
    s.color_ft = colour_ft;
    accept();
}

}  // namespace lekta
