#include "ui/colour.h"

#include <array>

namespace lekta::ui {

namespace {

struct Rgb {
    unsigned char r, g, b;
};

// The classic scheme's defaults, by system colour index.
constexpr std::array<Rgb, 31> kSystemDefaults = {{
    {212, 208, 200},  //  0 scroll bar
    {58, 110, 165},   //  1 desktop
    {10, 36, 106},    //  2 active caption
    {128, 128, 128},  //  3 inactive caption
    {212, 208, 200},  //  4 menu
    {255, 255, 255},  //  5 window
    {0, 0, 0},        //  6 window frame
    {0, 0, 0},        //  7 menu text
    {0, 0, 0},        //  8 window text
    {255, 255, 255},  //  9 caption text
    {212, 208, 200},  // 10 active border
    {212, 208, 200},  // 11 inactive border
    {128, 128, 128},  // 12 application workspace
    {10, 36, 106},    // 13 highlight
    {255, 255, 255},  // 14 highlight text
    {212, 208, 200},  // 15 button face
    {128, 128, 128},  // 16 button shadow
    {128, 128, 128},  // 17 grey text
    {0, 0, 0},        // 18 button text
    {212, 208, 200},  // 19 inactive caption text
    {255, 255, 255},  // 20 button highlight
    {64, 64, 64},     // 21 3-D dark shadow
    {212, 208, 200},  // 22 3-D light
    {0, 0, 0},        // 23 tooltip text
    {255, 255, 225},  // 24 tooltip background
    {181, 181, 181},  // 25 alternate button face
    {0, 0, 128},      // 26 hot-tracking
    {166, 202, 240},  // 27 active caption gradient
    {192, 192, 192},  // 28 inactive caption gradient
    {10, 36, 106},    // 29 menu highlight
    {212, 208, 200},  // 30 menu bar
}};

}  // namespace

QColor system_colour(int index)
{
    if (index < 0 || index >= static_cast<int>(kSystemDefaults.size()))
        return QColor(0, 0, 0);
    const Rgb c = kSystemDefaults[static_cast<std::size_t>(index)];
    return QColor(c.r, c.g, c.b);
}

QColor windows_colour(std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    if (v & 0x80000000u)
        return system_colour(static_cast<int>(v & 0xFFu));
    return QColor(static_cast<int>(v & 0xFFu), static_cast<int>((v >> 8) & 0xFFu),
                  static_cast<int>((v >> 16) & 0xFFu));
}

std::int32_t windows_colour_value(const QColor& colour)
{
    const QColor c = colour.toRgb();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(c.red()) |
                                     (static_cast<std::uint32_t>(c.green()) << 8) |
                                     (static_cast<std::uint32_t>(c.blue()) << 16));
}

}  // namespace lekta::ui
