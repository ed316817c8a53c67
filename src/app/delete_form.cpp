#include "app/delete_form.h"
#include "ui/guarded_connect.h"
#include "ui/window_placement.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lekta {

TForm8::TForm8(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName("Form8");
    setWindowTitle(QStringLiteral("Удаление"));
    Label1 = new QLabel(QStringLiteral("Удалить Строку или Файл?"), this);
    Button1 = new QPushButton(QStringLiteral("Строка"), this);
    Button2 = new QPushButton(QStringLiteral("Файл"), this);
    Button3 = new QPushButton(QStringLiteral("Отмена"), this);
    Button3->setDefault(true);
    ui::connect_guarded(Button1, &QPushButton::clicked, this, &TForm8::Button1Click);
    ui::connect_guarded(Button2, &QPushButton::clicked, this, &TForm8::Button2Click);
    ui::connect_guarded(Button3, &QPushButton::clicked, this, &TForm8::Button3Click);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setSpacing(14);
    layout->addWidget(Label1, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

int TForm8::ask()
{
    // The choice is "Отмена" whenever the dialog is shown, so closing it any
    // other way keeps it so.
    choice_ = kDeleteCancel;
    ui::centre_on_parent(*this);
    exec();
    return choice_;
}

void TForm8::Button1Click()
{
    choice_ = kDeleteRows;
    accept();
}

void TForm8::Button2Click()
{
    choice_ = kDeleteFiles;
    accept();
}

void TForm8::Button3Click()
{
    choice_ = kDeleteCancel;
    reject();
}

}  // namespace lekta
