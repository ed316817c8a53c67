#include "ui/error_display.h"

#include "ui/dialogs.h"

#include <cstdio>

namespace lekta::ui {

namespace {
Dialogs* g_dialogs = nullptr;
}

void set_error_dialogs(Dialogs* dialogs)
{
    g_dialogs = dialogs;
}

void reset_error_display()
{
    g_dialogs = nullptr;
}

void show_error(const QString& text)
{
    if (!g_dialogs) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        return;
    }
    g_dialogs->message_box({application_title(), text, Icon::Error, {"OK"}});
}

void show_exception(const std::exception& e)
{
    show_error(QString::fromUtf8(e.what()));
}

bool guarded(const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        show_exception(e);
    } catch (...) {
        show_error(QStringLiteral("Unknown exception"));
    }
    return false;
}

}  // namespace lekta::ui
