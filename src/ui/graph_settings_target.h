#pragma once
// What a chart window offers the graph parameters dialog: it applies the
// dialog's width, colours and offset to its own series itself, so the dialog
// needs nothing of the window but this.
#include <cstdint>
#include <functional>

namespace lekta::ui {

class GraphSettingsTarget {
public:
    virtual ~GraphSettingsTarget() = default;

    // The line width of the load curve as the window draws it now.
    virtual int curve_line_width() const = 0;
    // The load curve's width and colour and the Ft line's colour, repainted.
    virtual void apply_line_settings(int width, std::int32_t colour_f, std::int32_t colour_ft) = 0;
    // Shifts the load curve by offset_kn kilonewtons in two steps: this call
    // converts everything the shift needs and throws (changing nothing) when
    // something does not convert; the function it returns makes the shift.
    // An empty function: nothing to shift, as for a window without offset.
    virtual std::function<void()> prepare_offset(int offset_kn)
    {
        (void)offset_kn;
        return {};
    }

protected:
    GraphSettingsTarget() = default;
    GraphSettingsTarget(const GraphSettingsTarget&) = default;
    GraphSettingsTarget& operator=(const GraphSettingsTarget&) = default;
};

}  // namespace lekta::ui
