#pragma once
// Reads the tests of a series off the user-interface thread while the
// progress window shows how far it got, then hands them to the window.
//
// The tests pass through the one test buffer, so the buffer is marked busy
// (TForm1::set_buffer_busy: the catalogue greyed, opening and refreshing
// refused) from the start until the last test is read, as while the graph
// window's loader runs. The thread touches no widget: the progress bar is
// moved by a timer on the user-interface thread from the count of tests
// read, and the tests are taken over under a lock once the thread ended.
#include <QPointer>
#include <QThread>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "series/series_test.h"

class QTimer;

namespace lekta {

class TForm1;
class TForm7;

namespace series {

struct SeriesSource {
    std::string path;   // the file as the system names it
    std::string shown;  // the catalogue's name of it
};

class SeriesLoader : public QThread {
    Q_OBJECT
public:
    using Done = std::function<void(std::vector<SeriesTest>)>;
    // Marks the buffer busy, shows the progress window and starts reading;
    // `done` runs on the user-interface thread with every test in the order
    // given (left-out ones with their reason), after the buffer is free and
    // the progress window closed. Refused (false) while the buffer is busy.
    static bool launch(TForm1* main, TForm7* progress, std::vector<SeriesSource> sources,
                       Done done);
    // The loader running now, if any; stop_running makes it end after the
    // test it reads and waits for it, without calling `done`.
    static SeriesLoader* running();
    static void stop_running();

    ~SeriesLoader() override;

protected:
    void run() override;

private:
    SeriesLoader(TForm1* main, TForm7* progress, std::vector<SeriesSource> sources, Done done);
    void show_progress();
    void finish();

    QPointer<TForm1> main_;
    QPointer<TForm7> progress_;
    std::vector<SeriesSource> sources_;
    Done done_;
    QTimer* timer_;
    std::atomic<int> read_{0};
    std::atomic<bool> stopped_{false};
    std::mutex mutex_;
    std::vector<SeriesTest> tests_;  // under mutex_
};

}  // namespace series
}  // namespace lekta
