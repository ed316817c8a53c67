#include "ui/application.h"

#include "ui/error_display.h"

#include <QFont>

namespace lekta::ui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        show_exception(e);
    }
    return false;
}

void use_program_font()
{
    QFont::insertSubstitutions("MS Sans Serif", {"DejaVu Sans", "Liberation Sans", "Sans Serif"});
    QFont f("MS Sans Serif");
    f.setPointSize(8);
    QApplication::setFont(f);
}

}  // namespace lekta::ui
