// Program entry: the application object, the windows, the splash, then the
// main window, maximised, until the operator leaves.
#include "main/forms.h"
#include "app/main_form.h"
#include "ui/application.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/regional.h"

#include <QGuiApplication>
#include <QScreen>

int main(int argc, char** argv)
{
    lekta::ui::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ЛЕКТА-ЗИВ8"));
    QApplication::setOrganizationName(QStringLiteral("Veltrask"));
    lekta::ui::use_program_font();
    lekta::ui::apply_regional_settings();

    lekta::ui::QtDialogs dialogs;
    lekta::ui::set_error_dialogs(&dialogs);
    lekta::Forms forms = lekta::create_forms(dialogs, true);
    // Without a window manager "maximised" means nothing; cover the screen anyway.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        forms.Form1->setGeometry(screen->availableGeometry());
    forms.Form1->showMaximized();
    const int rc = app.exec();
    delete forms.Form1;  // the other windows are its children
    return rc;
}
