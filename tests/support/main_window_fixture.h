#pragma once
// The main window over a folder of test files, as the program starts it:
// its settings name `tests` as the working directory and default_dir() as
// the default directory; every dialog is scripted. The fixtures of the
// windows the main window opens build on it.
#include "app/main_form.h"
#include "app/settings_store.h"
#include "app/shell_state.h"
#include "support/test_support.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/grid.h"

#include <QSettings>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace lekta::testing {

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell().reset();
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path()));
        QSettings s(QString::fromStdString(config.path()) + "/Veltrask/LEKTA.conf",
                    QSettings::IniFormat);
        s.setValue("1.0/WorkDir", QString::fromStdString(tests.path()) + "/");
        s.setValue("1.0/Default_dir", QString::fromStdString(default_dir()));
        s.sync();
        ui::set_error_dialogs(&dialogs);
    }
    void TearDown() override
    {
        main.reset();  // its child windows go with it
        ui::reset_error_display();
        shell().reset();
    }

    // Where exports and pictures go: the folder of the tests unless a
    // fixture says otherwise.
    virtual std::string default_dir() const { return tests.path(); }

    // The main window, created (it lists the folder as it is created) but
    // not yet shown: a fixture wires its windows in between.
    void create_main()
    {
        MainFormOptions o;
        o.dialogs = &dialogs;
        o.port_library_path = QString::fromStdString(bin_dir()) + "/libgetnumcom.so";
        o.open_settings = [] { return std::make_unique<QtSettingsStore>(); };
        main = std::make_unique<TForm1>(o);
        ASSERT_TRUE(main->created());
        dialogs.set_parent(main.get());
    }
    void show_main()
    {
        main->resize(1000, 600);
        main->show();
    }

    int row_of(const QString& name) const
    {
        for (int r = 0; r < main->NextGrid1->RowCount(); ++r)
            if (main->NextGrid1->Cell(0, r) == name)
                return r;
        return -1;
    }

    TempDir config, tests;
    ui::ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> main;
};

}  // namespace lekta::testing
