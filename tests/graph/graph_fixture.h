#pragma once
// The main window over a folder of test files, with the graph window, the
// progress window and the parameters dialog wired as the program wires
// them; opening a row runs the real loader thread.
#include "app/port_library.h"
#include "graph/graf.h"
#include "graph/graph_parameters.h"
#include "graph/graph_state.h"
#include "graph/graph_worker.h"
#include "graph/open_progress.h"
#include "support/bmd_bytes.h"
#include "support/main_window_fixture.h"

#include <QTimer>
#include <functional>

namespace lekta::testing {

class GraphFixture : public MainWindowFixture {
protected:
    void SetUp() override
    {
        graph_state().reset();
        port_library().reset();
        MainWindowFixture::SetUp();
    }
    void TearDown() override
    {
        MY::stop_running();
        main.reset();
        port_library().reset();
        graph_state().reset();
        MainWindowFixture::TearDown();
    }

    void put(const std::string& name, const RawTest& t) { write_file(tests.file(name), t.bytes()); }

    // The windows, once the folder holds its files (the main window lists it
    // as it is created).
    void create()
    {
        create_main();
        graph = new TForm3(main.get());
        progress = new TForm7(main.get());
        parameters = new TForm11(main.get());
        graph->set_catalogue(main->NextGrid1);
        graph->set_parameters_dialog(parameters);
        main->commands.start_graph_worker = [this] { MY::launch({main.get(), graph, progress}); };
        main->commands.graph_parameters = [this] { parameters->exec(); };
        show_main();
    }

    QString cell(int column, const QString& name) const
    {
        return main->NextGrid1->Cell(column, row_of(name));
    }

    static bool loader_done() { return !MY::running() || MY::running()->isFinished(); }

    // Double-clicks the row of `name`; while the graph window is up (its
    // modal loop runs the test's checks) runs `shown`, then closes it, and
    // returns once the loader ended. False when the window never came up.
    bool open(const QString& name, const std::function<void()>& shown = {})
    {
        main->NextGrid1->SelectRow(row_of(name));
        bool was_shown = false;
        QTimer poll;
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!graph->isVisible())
                return;
            poll.stop();
            was_shown = true;
            if (shown)
                shown();
            graph->close();
        });
        poll.start();
        main->NextGrid1DblClick();
        EXPECT_TRUE(wait_until(loader_done, 20000)) << "the loader did not end";
        return was_shown;
    }

    TForm3* graph = nullptr;
    TForm7* progress = nullptr;
    TForm11* parameters = nullptr;
};

}  // namespace lekta::testing
