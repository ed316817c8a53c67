#pragma once
// The online command against the simulated unit through the real windows:
// "Он-лайн" creates the online window and the port dialog, finds the unit
// through the answer of a port lookup and shows the window modally until
// the test's own watch says the run is over.
#include "chart/chart.h"
#include "online/online_command.h"
#include "online/online_state.h"
#include "online/port_dialog.h"
#include "online/receive.h"
#include "played_test.h"
#include "support/test_support.h"
#include "support/unit_simulator.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lekta::testing {

class OnlineWindowSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        online_state().reset();
        ui::set_error_dialogs(&dialogs);
    }
    void TearDown() override
    {
        ui::reset_error_display();
        online_state().reset();
    }

    // The windows as the program creates them at its start; run_online
    // creates them unless a test did so to wire them first.
    void create_windows()
    {
        form2 = std::make_unique<TForm2>(dialogs);
        form10 = std::make_unique<TForm10>(dialogs, *form2);
        // On a loaded machine the kernel may hold a pseudo-terminal's bytes
        // back for seconds; the watchdog is not what these tests look at.
        form2->session().protocol().set_watchdog_interval(15000);
    }

    // "Он-лайн" with the port lookup answering the simulator's port; while
    // the window is shown, `watch` is asked every 20 ms whether the run is
    // over (then "Выход" ends it), for at most timeout_ms.
    void run_online(const UnitSimulator& sim, const std::function<bool()>& watch, int timeout_ms)
    {
        run_online([&sim] { return std::vector<std::string>{sim.path()}; }, watch, timeout_ms);
    }
    void run_online(const std::function<std::vector<std::string>()>& find_ports,
                    const std::function<bool()>& watch, int timeout_ms)
    {
        if (!form2)
            create_windows();
        OnlineCommand c{dialogs,
                        *form2,
                        *form10,
                        find_ports,
                        [&] {
                            QTimer watcher;
                            QElapsedTimer clock;
                            clock.start();
                            QObject::connect(&watcher, &QTimer::timeout, form2.get(), [&] {
                                if (watch() || clock.elapsed() > timeout_ms)
                                    form2->N4->trigger();
                            });
                            watcher.start(20);
                            shown = true;
                            return form2->exec();
                        },
                        {},
                        {}};
        N40Click(c);
    }

    // The unit has ended the test and the window's poll has stopped.
    bool test_over() const
    {
        return form2->Chart1->Title().Text() == kCompleted && !form2->Timer2().running();
    }

    ui::ScriptedDialogs dialogs;
    TempDir dir;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm10> form10;
    bool shown = false;
};

}  // namespace lekta::testing
