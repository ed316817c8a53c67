#include "chart/chart_title.h"

#include <QFontMetricsF>
#include <QPainter>
#include <utility>

namespace lekta::ui {

ChartTitle::ChartTitle(std::function<void()> changed) : changed_(std::move(changed))
{
    font_.setBold(true);
}

void ChartTitle::Clear()
{
    lines_.clear();
    changed_();
}

void ChartTitle::Add(const QString& line)
{
    lines_.append(line);
    changed_();
}

void ChartTitle::SetText(const QString& text)
{
    lines_ = text.split('\n');
    changed_();
}

void ChartTitle::SetAlignment(Qt::Alignment alignment)
{
    alignment_ = alignment & Qt::AlignHorizontal_Mask;
    changed_();
}

void ChartTitle::SetFont(const QFont& font)
{
    font_ = font;
    changed_();
}

void ChartTitle::SetColour(const QColor& colour)
{
    colour_ = colour;
    changed_();
}

ChartTitleItem::ChartTitleItem(const ChartTitle& title, QGraphicsItem* parent)
    : QGraphicsItem(parent), title_(title)
{}

qreal ChartTitleItem::needed_height() const
{
    if (title_.Lines().isEmpty())
        return 0;
    const QFontMetricsF fm(title_.Font());
    return fm.lineSpacing() * title_.Count();
}

void ChartTitleItem::set_band(const QRectF& band)
{
    if (band == band_)
        return;
    prepareGeometryChange();
    band_ = band;
    update();
}

void ChartTitleItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    const QFontMetricsF fm(title_.Font());
    painter->save();
    painter->setFont(title_.Font());
    painter->setPen(title_.Colour());
    painter->setClipRect(band_);
    const Qt::Alignment a = title_.Alignment();
    const int flags = (a & Qt::AlignLeft)    ? Qt::AlignLeft
                      : (a & Qt::AlignRight) ? Qt::AlignRight
                                             : Qt::AlignHCenter;
    qreal y = band_.top();
    for (const QString& line : title_.Lines()) {
        // A line wider than the chart keeps its start in view.
        const QString shown = fm.elidedText(line, Qt::ElideRight, band_.width());
        painter->drawText(QRectF(band_.left(), y, band_.width(), fm.lineSpacing()),
                          flags | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        y += fm.lineSpacing();
    }
    painter->restore();
}

}  // namespace lekta::ui
