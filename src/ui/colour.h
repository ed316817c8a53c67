#pragma once
// Colours as the settings store them: Windows colour values 0x00BBGGRR, red
// in the low byte (255 is red, 16711680 is blue). A value with the high bit
// set names a system colour by its index in the low byte (0x8000000F is the
// button face); those map to the classic Windows defaults from a fixed table,
// so a colour looks the same on every desktop.
#include <QColor>
#include <cstdint>

namespace lekta::ui {

// System colour values: 0x80000000 | index.
constexpr std::int32_t kSystemColour = static_cast<std::int32_t>(0x80000000u);
constexpr std::int32_t kButtonFaceColour = kSystemColour | 15;
constexpr std::int32_t kWindowColour = kSystemColour | 5;
constexpr std::int32_t kWindowTextColour = kSystemColour | 8;

// The classic default of system colour index 0 … 30; black for any other index.
QColor system_colour(int index);

// 0x00BBGGRR or a system colour value. The byte above blue (palette flags)
// is ignored, as the platform does when it draws.
QColor windows_colour(std::int32_t value);

// The inverse: 0x00BBGGRR of an opaque colour (alpha ignored).
std::int32_t windows_colour_value(const QColor& colour);

}  // namespace lekta::ui
