// The graph window's dialogs under a real window manager (run by
// run_under_wm.sh on Xvfb with openbox): each comes up over the graph window,
// and the graph window stays over the catalogue while it is up. A dialog
// parented to the catalogue made the window manager raise the catalogue
// with it, hiding the chart. The parameters dialog offers no minimise or
// maximise.
#include "app/shell_state.h"
#include "graph/graf.h"
#include "graph/graph_parameters.h"
#include "support/test_support.h"
#include "ui/dialogs.h"
#include "ui/grid.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

using namespace lekta;
using lekta::testing::wait_until;

namespace {

QString xprop(const QStringList& args)
{
    QProcess p;
    p.start("xprop", args);
    if (!p.waitForFinished(5000))
        return {};
    return QString::fromLatin1(p.readAllStandardOutput());
}

// The managed windows, bottom to top.
std::vector<WId> stacking()
{
    std::vector<WId> ids;
    const QString out = xprop({"-root", "-notype", "_NET_CLIENT_LIST_STACKING"});
    auto it = QRegularExpression("0x[0-9a-fA-F]+").globalMatch(out.section('#', 1));
    while (it.hasNext())
        ids.push_back(static_cast<WId>(it.next().captured().toULongLong(nullptr, 16)));
    return ids;
}

int position(const std::vector<WId>& order, const QWidget* window)
{
    const auto it = std::find(order.begin(), order.end(), window->winId());
    return it == order.end() ? -1 : static_cast<int>(it - order.begin());
}

// The stacking once `window` is managed and nothing has moved for a while.
std::vector<WId> settled_stacking(const QWidget* window)
{
    std::vector<WId> last;
    int same = 0;
    wait_until(
        [&] {
            std::vector<WId> now = stacking();
            same = now == last && position(now, window) >= 0 ? same + 1 : 0;
            last = std::move(now);
            if (same < 5)
                QThread::msleep(40);
            return same >= 5;
        },
        15000);
    return last;
}

struct Seen {
    QString command;
    int catalogue = -1, graph = -1, dialog = -1;
    QString allowed_actions;
    QString motif_hints;
    Qt::WindowFlags flags;
};

}  // namespace

TEST(WindowManager, TheGraphWindowsDialogsComeUpOverItAndKeepItOverTheCatalogue)
{
    shell().reset();
    shell().opened_row = 0;  // the catalogue row the title is read from
    shell().opened_row = 0;
    QMainWindow catalogue;
    catalogue.setWindowTitle("catalogue");
    auto* grid = new ui::Grid(&catalogue);
    for (int c = 0; c < 17; ++c)
        grid->AddColumn({QString("C%1").arg(c), "c", 20, 0, true, false, false});
    grid->AddRow();
    catalogue.setCentralWidget(grid);
    catalogue.showMaximized();
    ASSERT_GE(position(settled_stacking(&catalogue), &catalogue), 0)
        << "the window manager never took the window";

    auto* graph = new TForm3(&catalogue);
    auto* parameters = new TForm11(&catalogue);
    graph->set_catalogue(grid);
    graph->set_parameters_dialog(parameters);
    ui::QtDialogs dialogs;
    dialogs.set_parent(&catalogue);
    graph->on_export = [&] { ui::show_message(dialogs, "Книга сохранена в файл книга.xlsx"); };
    graph->on_save_picture = [&] {
        ui::FileDialog d;
        d.title = "Сохранить рисунок как";
        dialogs.save_file(d);
    };

    std::vector<Seen> seen;
    int graph_over_catalogue = -1;
    // Run from inside each command's modal dialog: note the order, then close it.
    auto close_when_up = [&](QAction* command) {
        QTimer::singleShot(0, graph, [&, command] {
            QWidget* up = nullptr;
            const bool shown = wait_until(
                [&] {
                    up = QApplication::activeModalWidget();
                    return up && up != graph && up->isVisible();
                },
                15000);
            Seen s;
            s.command = command->text();
            if (shown) {
                const std::vector<WId> order = settled_stacking(up);
                s = {command->text(),
                     position(order, &catalogue),
                     position(order, graph),
                     position(order, up),
                     xprop({"-id", QString::number(up->winId()), "-notype",
                            "_NET_WM_ALLOWED_ACTIONS"}),
                     xprop({"-id", QString::number(up->winId()), "-notype", "_MOTIF_WM_HINTS"}),
                     up->windowFlags()};
                up->close();
                if (auto* d = qobject_cast<QDialog*>(up))
                    d->done(QDialog::Rejected);
            }
            seen.push_back(s);
        });
    };
    QTimer::singleShot(0, graph, [&] {
        const std::vector<WId> order = settled_stacking(graph);
        graph_over_catalogue = position(order, graph) > position(order, &catalogue);
        for (QAction* command : {graph->N2, graph->N3, graph->N5}) {
            close_when_up(command);
            command->trigger();
        }
        graph->done(QDialog::Rejected);
    });
    graph->ShowModal();

    EXPECT_EQ(graph_over_catalogue, 1);
    ASSERT_EQ(seen.size(), 3u);
    for (const Seen& s : seen) {
        SCOPED_TRACE(s.command.toStdString());
        ASSERT_GE(s.dialog, 0) << "the dialog never came up";
        EXPECT_GT(s.graph, s.catalogue) << "the catalogue came forward over the graph window";
        EXPECT_GT(s.dialog, s.graph);
    }
    // "Параметры графика" is a fixed dialog with the close button only: its
    // flags say so (without CustomizeWindowHint Qt takes the title bar's
    // default buttons), the window manager is asked for no minimise or
    // maximise (the second Motif value, functions: 0x8 minimise, 0x10
    // maximise) and offers no maximise. openbox keeps minimise for every
    // dialog whatever it is asked.
    const Seen& p = seen[0];
    EXPECT_TRUE(p.flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(p.flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(p.flags.testFlag(Qt::WindowMinimizeButtonHint) ||
                 p.flags.testFlag(Qt::WindowMaximizeButtonHint));
    const QStringList motif = p.motif_hints.section('=', 1).split(',', Qt::SkipEmptyParts);
    ASSERT_GE(motif.size(), 2) << p.motif_hints.toStdString();
    EXPECT_EQ(motif[1].trimmed().toUInt(nullptr, 16) & 0x18u, 0u) << p.motif_hints.toStdString();
    EXPECT_TRUE(p.allowed_actions.contains("_NET_WM_ACTION_CLOSE"))
        << p.allowed_actions.toStdString();
    EXPECT_FALSE(p.allowed_actions.contains("MAXIMIZE")) << p.allowed_actions.toStdString();
}
