#include "app/logo.h"

#include "ui/guarded_connect.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace lekta {

TForm5::TForm5(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName("Form5");
    setFixedSize(400, 77);
    Timer1 = new QTimer(this);
    Timer1->setInterval(3000);
    Timer1->setSingleShot(false);
    ui::connect_guarded(Timer1, &QTimer::timeout, this, &TForm5::Timer1Timer);
}

void TForm5::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TForm5::FormShow()
{
    Timer1->start();
}

void TForm5::Timer1Timer()
{
    Timer1->stop();
    accept();
}

void TForm5::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, width(), height());
    g.setColorAt(0, QColor(16, 52, 110));
    g.setColorAt(1, QColor(40, 110, 180));
    p.fillRect(rect(), g);
    // A small load curve as the emblem.
    p.setPen(QPen(QColor(255, 90, 70), 2));
    QPainterPath curve;
    curve.moveTo(12, 64);
    curve.lineTo(26, 22);
    curve.lineTo(34, 24);
    curve.cubicTo(44, 12, 54, 10, 60, 18);
    curve.lineTo(64, 40);
    p.drawPath(curve);
    p.setPen(QPen(QColor(140, 190, 255), 1, Qt::DashLine));
    p.drawLine(10, 23, 66, 23);

    p.setPen(Qt::white);
    QFont title("DejaVu Sans");
    title.setPixelSize(26);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(80, 6, 312, 36), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("ЛЕКТА-ЗИВ8"));
    QFont sub("DejaVu Sans");
    sub.setPixelSize(12);
    p.setFont(sub);
    p.drawText(QRect(80, 42, 312, 28), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Рабочее место оператора"));
    p.setPen(QColor(10, 30, 70));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace lekta
