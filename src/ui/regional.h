#pragma once
namespace lekta::ui {
// Takes the decimal separator for every number text from the user's locale.
void apply_regional_settings();
}  // namespace lekta::ui
