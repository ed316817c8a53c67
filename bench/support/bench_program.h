#pragma once
// The program as the widget benchmarks start it: its settings in a folder
// of the benchmark's own, the main window over the folder of tests, and a
// watch for the first paint of a chart.
#include "app/main_form.h"
#include "app/settings_store.h"
#include "ui/dialogs.h"
#include "ui/grid.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <utility>

namespace lekta::bench {

// The program's settings under `home`: `tests` is the working and the
// default directory.
inline void use_settings(const QTemporaryDir& home, const QString& tests)
{
    QSettings settings(home.filePath("config/Veltrask/LEKTA.conf"), QSettings::IniFormat);
    settings.setValue("1.0/WorkDir", tests + "/");
    settings.setValue("1.0/Default_dir", tests);
    settings.sync();
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
}

// The main window as the program entry creates it; the benchmark ends when
// it did not list `rows` tests.
inline std::unique_ptr<TForm1> start_main(ui::ScriptedDialogs& dialogs, int rows)
{
    MainFormOptions o;
    o.dialogs = &dialogs;
    o.port_library_path = QCoreApplication::applicationDirPath() + "/libgetnumcom.so";
    o.open_settings = [] { return std::make_unique<QtSettingsStore>(); };
    auto main = std::make_unique<TForm1>(o);
    if (!main->created() || main->NextGrid1->RowCount() != rows) {
        std::fprintf(stderr, "the catalogue did not list the tests\n");
        std::exit(1);
    }
    return main;
}

// A 1600 × 900 screen for the offscreen platform, as an operator's monitor
// (its description written into `folder`), unless another platform is asked for.
inline void use_offscreen_screen(const QString& folder)
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "offscreen")
        return;
    const QString config = folder + "/screen.json";
    std::ofstream(config.toStdString())
        << R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1600, "height": 900, "logicalDpi": 96, "dpr": 1}]})";
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toUtf8());
}

// Installed on a chart's viewport: runs on_paint once, on the turn of the
// event loop after the whole first paint.
struct AfterPaint : QObject {
    std::function<void()> on_paint;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && on_paint)
            QTimer::singleShot(0, std::exchange(on_paint, {}));
        return false;
    }
};

}  // namespace lekta::bench
