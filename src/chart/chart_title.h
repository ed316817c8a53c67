#pragma once
// The chart's title: one or more lines above the plot, left, centred or
// right, in its own font. The drawing library's own title has one centred
// line only, so the chart draws this one itself and keeps room for it.
#include <QFont>
#include <QGraphicsItem>
#include <QStringList>
#include <functional>

namespace lekta::ui {

class ChartTitle {
public:
    explicit ChartTitle(std::function<void()> changed);

    const QStringList& Lines() const { return lines_; }
    int Count() const { return static_cast<int>(lines_.size()); }
    void Clear();
    void Add(const QString& line);
    // Replaces all lines; a "\n" in a text starts a new line.
    void SetText(const QString& text);
    QString Text() const { return lines_.join('\n'); }

    // Qt::AlignLeft, Qt::AlignHCenter (as designed) or Qt::AlignRight.
    Qt::Alignment Alignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment alignment);
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& font);
    const QColor& Colour() const { return colour_; }
    void SetColour(const QColor& colour);

private:
    std::function<void()> changed_;
    QStringList lines_;
    Qt::Alignment alignment_ = Qt::AlignHCenter;
    QFont font_;
    QColor colour_ = Qt::black;
};

// Draws a title's lines into the band above the plot.
class ChartTitleItem : public QGraphicsItem {
public:
    ChartTitleItem(const ChartTitle& title, QGraphicsItem* parent);
    // Height the lines need (0 for no lines), at the title's font.
    qreal needed_height() const;
    // The band the lines go in, in the parent's coordinates.
    void set_band(const QRectF& band);

    QRectF boundingRect() const override { return band_; }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    const ChartTitle& title_;
    QRectF band_;
};

}  // namespace lekta::ui
