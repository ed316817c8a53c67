#pragma once
// The loader thread MY: turns the test in the test buffer into the graph
// window's curves and point table while the progress window shows how far
// it got, then shows the graph window modally and ends when it closes.
//
// Every step that touches a window runs on the user-interface thread
// through a blocking hand-over (Synchronize); the thread itself only reads
// the test buffer. Nothing may refill the buffer meanwhile: the catalogue
// refuses to open or rebuild from start() until the curve is handed to the
// window (TForm1::set_buffer_busy).
//
// A failure on the way (a model index above 4, a tail outside the file, a
// point count running past the buffer) closes the progress window, enables
// the catalogue again and is shown by the general error display.
#include <QPointer>
#include <QThread>
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>

namespace lekta {

class TForm1;
class TForm3;
class TForm7;

class MY : public QThread {
    Q_OBJECT
public:
    struct Windows {
        TForm1* main = nullptr;
        TForm3* graph = nullptr;
        TForm7* progress = nullptr;
    };

    // The open operation's start: marks the buffer busy, creates the loader,
    // lets it free itself when it ends and starts it. Refused (false) while
    // another one runs.
    static bool launch(const Windows& windows);
    // The loader running now, if any (UI thread).
    static MY* running();
    // Makes the running loader skip its remaining steps and waits until it
    // ended; a window about to go calls it (UI thread).
    static void stop_running();

    // The 1-based number of the point being loaded, the progress position.
    std::int32_t po = 0;

    // Deleted on the UI thread once the thread ended.
    ~MY() override;

protected:
    void run() override;

private:
    explicit MY(const Windows& windows);
    // Runs step on the user-interface thread and waits for it; an exception
    // it throws comes back here. False once the loader was stopped.
    bool Synchronize(const std::function<void()>& step);
    // Synchronize's half on the user-interface thread: runs step_.
    Q_INVOKABLE void hand_over();
    void load();
    void fail(const QString& text);

    QPointer<TForm1> main_;
    QPointer<TForm3> graph_;
    QPointer<TForm7> progress_;
    std::atomic<bool> stopped_{false};
    std::atomic<bool> in_modal_{false};
    // Past its last hand-over: the next loader may start.
    std::atomic<bool> released_{false};
    // The step handed over and what it threw; each thread touches them only
    // while the other waits.
    const std::function<void()>* step_ = nullptr;
    std::exception_ptr failure_;
    // The progress bar's width in pixels: the position is handed over only
    // when it moves the bar by a pixel (and at most once a frame).
    int bar_pixels_ = 1;
};

}  // namespace lekta
