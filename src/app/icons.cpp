#include "app/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace lekta {

namespace {

void page(QPainter& p)
{
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::white);
    QPolygon poly;
    poly << QPoint(3, 1) << QPoint(10, 1) << QPoint(13, 4) << QPoint(13, 14) << QPoint(3, 14);
    p.drawPolygon(poly);
    p.drawLine(10, 1, 10, 4);
    p.drawLine(10, 4, 13, 4);
}

void folder(QPainter& p, QColor fill)
{
    p.setPen(QColor(150, 110, 20));
    p.setBrush(fill);
    QPolygon back;
    back << QPoint(1, 4) << QPoint(5, 4) << QPoint(7, 6) << QPoint(14, 6) << QPoint(14, 13)
         << QPoint(1, 13);
    p.drawPolygon(back);
}

}  // namespace

QIcon image_list_icon(int index)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    switch (index) {
    case 0:  // new: a blank page with a spark
        page(p);
        p.setPen(QColor(230, 160, 0));
        p.drawLine(1, 1, 5, 5);
        p.drawLine(5, 1, 1, 5);
        break;
    case 1:  // open catalogue: an open folder
        folder(p, QColor(250, 210, 90));
        p.setBrush(QColor(255, 230, 140));
        {
            QPolygon front;
            front << QPoint(3, 8) << QPoint(15, 8) << QPoint(13, 13) << QPoint(1, 13);
            p.drawPolygon(front);
        }
        break;
    case 2:  // working directory: a folder with a green mark
        folder(p, QColor(250, 210, 90));
        p.setPen(QPen(QColor(20, 140, 40), 2));
        p.drawLine(5, 10, 7, 12);
        p.drawLine(7, 12, 12, 7);
        break;
    case 3:  // preview: a page under a magnifier
        page(p);
        p.setPen(QPen(QColor(40, 70, 160), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPoint(7, 8), 3, 3);
        p.drawLine(9, 10, 13, 14);
        break;
    case 4:  // print: a printer
        p.setPen(QColor(70, 70, 70));
        p.setBrush(Qt::white);
        p.drawRect(4, 1, 8, 5);
        p.setBrush(QColor(180, 180, 190));
        p.drawRect(1, 6, 14, 6);
        p.setBrush(Qt::white);
        p.drawRect(4, 10, 8, 5);
        p.setPen(QColor(20, 160, 20));
        p.drawPoint(13, 8);
        break;
    case 5: {  // help: a question mark in a blue disc
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 100, 200));
        p.drawEllipse(1, 1, 14, 14);
        QFont f("DejaVu Sans");
        f.setPixelSize(12);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(1, 1, 14, 14), Qt::AlignCenter, "?");
        break;
    }
    case 6:  // delete: a red cross
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(3, 3, 12, 12);
        p.drawLine(12, 3, 3, 12);
        break;
    default: break;
    }
    p.end();
    return QIcon(pm);
}

}  // namespace lekta
