#include "output/export_progress.h"

#include "ui/window_placement.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

namespace lekta {

TForm9::TForm9(QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Dialog)
{
    setObjectName("Form9");
    setFixedSize(425, 64);
    setStyleSheet("QDialog#Form9 { border: 1px solid #808080; }");

    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    QFont font("Arial");
    font.setPixelSize(20);
    Label1->setFont(font);
    Label1->setGeometry(12, 4, 401, 28);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setGeometry(12, 36, 401, 20);
    ProgressBar1->setTextVisible(false);
}

void TForm9::begin(const QString& label)
{
    ui::centre_on_parent(*this);
    Label1->setText(label);
    show();
    // Drawn once now: the export then runs without returning to the loop.
    QCoreApplication::processEvents();
}

void TForm9::set_maximum(int maximum)
{
    ProgressBar1->setMaximum(maximum);
}

void TForm9::set_position(int position)
{
    ProgressBar1->setValue(position);
}

void TForm9::end()
{
    close();
}

}  // namespace lekta
