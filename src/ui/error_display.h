#pragma once
// The application's general error display: an unexpected failure ends the
// handler that met it, its text is shown in a message box, and the window
// stays usable.
#include <QString>
#include <exception>
#include <functional>

namespace lekta::ui {

class Dialogs;

// The dialogs the error display uses (the main window's, set at start-up).
void set_error_dialogs(Dialogs* dialogs);
// Back to no dialogs (errors go to the standard error stream), as at start.
void reset_error_display();

void show_error(const QString& text);
void show_exception(const std::exception& e);

// Runs a handler; an exception it throws is shown, not propagated.
// Returns false when the handler failed.
bool guarded(const std::function<void()>& handler);

}  // namespace lekta::ui
