#pragma once
// The application object: an exception that escapes an event handler is
// shown by the general error display instead of ending the program.
#include <QApplication>

namespace lekta::ui {

class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The program's font: "MS Sans Serif" 8 point, which falls back to a
// metrically similar face where that font is not installed.
void use_program_font();

}  // namespace lekta::ui
