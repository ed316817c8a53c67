#pragma once

class QWidget;

namespace lekta::ui {

// Dialogs and small windows come up over the middle of the window they
// belong to; one without a parent is left where the platform puts it.
void centre_on_parent(QWidget& window);

}  // namespace lekta::ui
