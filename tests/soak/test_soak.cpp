// Soak of the online window: one window session, ten live tests in a row,
// each the largest test a file may hold (63,996 points, in the largest
// responses the program takes), against the unit simulator. Every run must
// show the whole test, and the process's resident memory after the last run
// must be about what it was after the first: nothing of a run stays behind.
#include "chart/chart.h"
#include "e2e/played_test.h"
#include "online/online_command.h"
#include "online/online_state.h"
#include "online/port_dialog.h"
#include "online/receive.h"
#include "support/process_memory.h"
#include "support/test_support.h"
#include "support/unit_simulator.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/grid.h"

#include <QAction>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>

namespace lekta {
namespace {

using namespace testing;

// LEKTA_SOAK_RUNS overrides the number of runs (at least 2).
int soak_runs()
{
    const QByteArray v = qgetenv("LEKTA_SOAK_RUNS");
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok && n >= 2 ? n : 10;
}

TEST(OnlineSoak, TenLargestTestsInOneWindowSessionKeepMemoryFlat)
{
    online_state().reset();
    ui::ScriptedDialogs dialogs;
    ui::set_error_dialogs(&dialogs);
    TempDir dir;
    const std::string path = dir.file("largest.bmd");
    {
        bool written = false;
        for (const tools::NamedTest& t : tools::demo_tests())
            if (t.name == tools::kLargestDemoName)
                written = tools::write_bmd(path, t.test);
        ASSERT_TRUE(written);
    }
    const tools::UnitCurve curve = tools::curve_from_file(path, true);
    ASSERT_EQ(curve.points.size(), 63996u);
    const std::vector<tools::UnitPoint>& pts = curve.points;

    // The windows as the program creates them, once.
    TForm2 form2(dialogs);
    TForm10 form10(dialogs, form2);
    form2.session().protocol().set_watchdog_interval(15000);  // as the other window sessions
    const long rss_start = resident_kib();
    long rss_first = 0;
    const int runs = soak_runs();
    QElapsedTimer total;
    total.start();

    for (int run = 1; run <= runs; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        UnitSimulator sim({"--type", "Y", "--file", path, "--points", "5461", "--exit-after-v"});
        ASSERT_FALSE(sim.path().empty());
        QElapsedTimer clock;
        clock.start();
        bool shown = false;
        N40Click({dialogs,
                  form2,
                  form10,
                  [&sim] { return std::vector<std::string>{sim.path()}; },
                  [&] {
                      QTimer watcher;
                      QObject::connect(&watcher, &QTimer::timeout, &form2, [&] {
                          // This run is over once its table is whole and the
                          // final poll tick has let go of the port and stopped.
                          const bool over = form2.NextGrid1->RowCount() == 63996 &&
                                            !form2.CommPortDriver1().Connected() &&
                                            !form2.Timer2().running();
                          if (over || clock.elapsed() > 240000)
                              form2.N4->trigger();
                      });
                      watcher.start(50);
                      shown = true;
                      return form2.exec();
                  },
                  {},
                  {}});
        ASSERT_TRUE(shown);
        ASSERT_EQ(form2.Chart1->Title().Text().toStdString(), kCompleted);
        ASSERT_EQ(form2.NextGrid1->RowCount(), 63996);
        ASSERT_EQ(form2.Series1->Count(), 63997);  // and the drop to zero load at the end
        for (const int r : {0, 31998, 63995}) {
            const tools::UnitPoint& p = pts[static_cast<std::size_t>(r)];
            EXPECT_EQ(form2.NextGrid1->Cell(0, r).toStdString(), kn(std::max(p.f, 0))) << r;
            EXPECT_EQ(form2.NextGrid1->Cell(1, r).toStdString(), mm(std::max(p.h, 0))) << r;
        }
        EXPECT_FALSE(form2.CommPortDriver1().Connected());
        EXPECT_TRUE(wait_until([&] { return sim.exited(); }, 5000));
        const long rss = resident_kib();
        if (run == 1)
            rss_first = rss;
        std::cout << "run " << run << ": " << clock.elapsed() << " ms, resident " << rss << " KiB"
                  << std::endl;
    }
    const long rss_end = resident_kib();
    std::cout << "resident memory: " << rss_start << " KiB with the window created, " << rss_first
              << " KiB after the first run, " << rss_end << " KiB after run " << runs << " ("
              << total.elapsed() / 1000 << " s in all)" << std::endl;
    // A run's table and curves take some twenty megabytes; a megabyte left
    // behind by each run would add up past the margin.
    EXPECT_LT(rss_end - rss_first, 4 * 1024) << "KiB";
    ui::reset_error_display();
    online_state().reset();
}

}  // namespace
}  // namespace lekta
