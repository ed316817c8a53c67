#include "app/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

namespace lekta {

namespace {

// The drawing is laid out on a 256-unit square; lines keep at least about a
// pixel and a half, so the curve still reads at 16 pixels.
constexpr double kUnits = 256.0;

double line(double units, double min_pixels, int size)
{
    return std::max(units, min_pixels * kUnits / size);
}

void sheet(QPainter& p, int size)
{
    // Edges on pixel centres at 16 pixels, so the smallest icon stays sharp.
    const double left = 40, right = 216, top = 8, bottom = 248, fold = 48;
    QPainterPath outline;
    outline.moveTo(left, top);
    outline.lineTo(right - fold, top);
    outline.lineTo(right, top + fold);
    outline.lineTo(right, bottom);
    outline.lineTo(left, bottom);
    outline.closeSubpath();
    p.setPen(
        QPen(QColor(96, 104, 116), line(6, 1, size), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(QColor(252, 252, 250));
    p.drawPath(outline);

    QPainterPath corner;
    corner.moveTo(right - fold, top);
    corner.lineTo(right - fold, top + fold);
    corner.lineTo(right, top + fold);
    p.setBrush(QColor(214, 220, 230));
    p.drawPath(corner);
}

void grid(QPainter& p, int size)
{
    if (size < 48)
        return;  // a grid at small sizes is only noise
    p.setPen(QPen(QColor(200, 214, 236), line(3, 1, size)));
    for (double x = 104; x < 200; x += 32)
        p.drawLine(QPointF(x, 64), QPointF(x, 200));
    for (double y = 168; y > 64; y -= 32)
        p.drawLine(QPointF(72, y), QPointF(200, y));
}

void axes(QPainter& p, int size)
{
    p.setPen(
        QPen(QColor(40, 48, 60), line(7, 1, size), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath l;
    l.moveTo(72, 56);
    l.lineTo(72, 200);
    l.lineTo(200, 200);
    p.drawPath(l);
}

// Elastic rise, a short yield plateau, hardening to the maximum load, the
// neck, and the break.
void curve(QPainter& p, int size)
{
    QPainterPath c;
    c.moveTo(72, 200);
    c.lineTo(98, 116);
    c.cubicTo(102, 104, 108, 110, 116, 110);
    c.cubicTo(132, 110, 144, 76, 164, 74);
    c.cubicTo(178, 73, 186, 84, 192, 102);
    p.setPen(
        QPen(QColor(214, 32, 32), line(11, 1.6, size), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(c);
    p.setPen(QPen(QColor(214, 32, 32), line(7, 1.2, size), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(192, 102), QPointF(194, 134));
}

}  // namespace

const std::vector<int>& program_icon_sizes()
{
    static const std::vector<int> sizes{16, 32, 48, 64, 128, 256};
    return sizes;
}

QImage draw_program_icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kUnits, size / kUnits);
    sheet(p, size);
    grid(p, size);
    axes(p, size);
    curve(p, size);
    p.end();
    return image;
}

QIcon program_icon()
{
    QIcon icon;
    for (int size : program_icon_sizes())
        icon.addPixmap(QPixmap::fromImage(draw_program_icon(size)));
    return icon;
}

}  // namespace lekta
