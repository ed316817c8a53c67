#pragma once
// One axis of a chart: its stored settings (automatic ends, limits,
// increment, title, visibility) and the limits in effect. While an end is
// automatic its limit is the smallest or largest value over the active
// series' points, exactly; setting a limit makes that end manual, so a
// range widened after an automatic one stays as set. Zooming and panning
// change only what is drawn (Chart), never these settings.
#include <QString>
#include <functional>
#include <stdexcept>

namespace lekta::ui {

// A limit or an increment the axis refuses. The text is the operator's
// message, shown by the general error display.
class AxisError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value range; empty when no point gave it a value.
struct AxisRange {
    double min = 0;
    double max = 0;
    bool empty = true;
};

enum class AxisPlace { Left, Bottom, Right };

class ChartAxis {
public:
    // data(): the range of the active series' values along this axis.
    // changed(): called after every change of a setting.
    ChartAxis(AxisPlace place, std::function<AxisRange()> data, std::function<void()> changed);

    bool Horizontal() const { return place_ == AxisPlace::Bottom; }

    // Both ends automatic. An end switched to manual keeps the limit it
    // had, so the range does not jump.
    bool Automatic() const { return auto_min_ && auto_max_; }
    void SetAutomatic(bool automatic);
    bool AutomaticMinimum() const { return auto_min_; }
    void SetAutomaticMinimum(bool automatic);
    bool AutomaticMaximum() const { return auto_max_; }
    void SetAutomaticMaximum(bool automatic);

    // The limits in effect: the data's while automatic (0 with no data),
    // otherwise the stored ones.
    double Minimum() const;
    double Maximum() const;
    // Throws AxisError "Axis Minimum Value must be <= Maximum" when v lies
    // above the maximum in effect; the end becomes manual.
    void SetMinimum(double v);
    // Throws AxisError "Axis Maximum Value must be >= Minimum" when v lies
    // below the minimum in effect; the end becomes manual.
    void SetMaximum(double v);
    // Both limits at once, both ends manual; refuses max < min like SetMaximum.
    void SetMinMax(double min, double max);

    // Smallest step between labels, 0 for a step of the axis' choosing.
    // Throws AxisError "Axis increment must be >= 0" for a negative value.
    double Increment() const { return increment_; }
    void SetIncrement(double v);

    const QString& Title() const { return title_; }
    void SetTitle(const QString& title);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    // The range drawn when nothing is zoomed: the limits in effect, in
    // ascending order, widened around a single value (an empty or flat
    // range) so that the plot has a scale.
    AxisRange DrawnRange() const;

private:
    AxisPlace place_;
    std::function<AxisRange()> data_;
    std::function<void()> changed_;
    bool auto_min_ = true;
    bool auto_max_ = true;
    double min_ = 0;
    double max_ = 0;
    double increment_ = 0;
    QString title_;
    bool visible_ = true;
};

// r widened around its value when it is empty or flat, ascending, finite.
AxisRange drawable(AxisRange r);

}  // namespace lekta::ui
