// Program entry: the application object, the windows, the splash, then the
// main window, maximised, until the operator leaves.
#include "app/main_form.h"
#include "app/port_library.h"
#include "app/program_icon.h"
#include "main/forms.h"
#include "ui/application.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/grid.h"
#include "ui/guarded_connect.h"
#include "ui/qt_translations.h"
#include "ui/regional.h"

#include <QGuiApplication>
#include <QLibrary>
#include <QScreen>
#include <QTimer>
#include <cstdio>

namespace {

// The installation check starts the installed program with
// LEKTA_QUIT_AFTER_START set: once the main window is up it prints what the
// start found and leaves, so the check needs neither a person nor a display.
void report_start_and_quit(const lekta::TForm1& form)
{
    const lekta::PortLibrary& lib = lekta::port_library();
    std::printf("port library: %s\n", lib.handle ? qPrintable(lib.handle->fileName()) : "");
    std::printf("help: %s\n", qPrintable(form.help_file()));
    std::printf("catalogue rows: %d\n", form.NextGrid1->RowCount());
    std::fflush(stdout);
    QCoreApplication::exit(0);
}

}  // namespace

int main(int argc, char** argv)
{
    lekta::ui::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ЛЕКТА-ЗИВ8"));
    QApplication::setOrganizationName(QStringLiteral("Veltrask"));
    // The desktop matches the windows to the menu entry lekta.desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral("lekta"));
    QApplication::setWindowIcon(lekta::program_icon());
    lekta::ui::load_qt_translations();
    lekta::ui::use_program_font();
    lekta::ui::apply_regional_settings();

    lekta::ui::QtDialogs dialogs;
    lekta::ui::set_error_dialogs(&dialogs);
    lekta::Forms forms = lekta::create_forms(dialogs, true);
    // Without a window manager "maximised" means nothing; cover the screen anyway.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        forms.Form1->setGeometry(screen->availableGeometry());
    forms.Form1->showMaximized();
    if (!qEnvironmentVariableIsEmpty("LEKTA_QUIT_AFTER_START"))
        lekta::ui::call_later_guarded(0, forms.Form1,
                                      [form = forms.Form1] { report_start_and_quit(*form); });
    const int rc = app.exec();
    delete forms.Form1;  // the other windows are its children
    return rc;
}
