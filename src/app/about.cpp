#include "app/about.h"

#include "app/version_text.h"
#include "ui/guarded_connect.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lekta {

Tform6::Tform6(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName("form6");
    setWindowTitle(QStringLiteral("О программе"));
    setFixedSize(515, 151);
    StaticText1 = new QLabel(QStringLiteral("ЛЕКТА-ЗИВ8"), this);
    QFont big = StaticText1->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 6);
    StaticText1->setFont(big);
    StaticText3 = new QLabel(this);
    StaticText2 = new QLabel(QStringLiteral("Программа для передачи данных с прибора ЛЕКТА-ЗИВ8."),
                             this);
    Button1 = new QPushButton(QStringLiteral("Ок"), this);
    Button1->setDefault(true);
    ui::connect_guarded(Button1, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 12, 18, 12);
    layout->addWidget(StaticText1, 0, Qt::AlignHCenter);
    layout->addWidget(StaticText3, 0, Qt::AlignHCenter);
    layout->addWidget(StaticText2, 0, Qt::AlignHCenter);
    layout->addStretch();
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
}

void Tform6::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void Tform6::FormShow()
{
    StaticText3->setText(QStringLiteral("Версия ") + program_version());
}

}  // namespace lekta
