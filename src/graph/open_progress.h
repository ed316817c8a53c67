#pragma once
// The progress window shown while a test's points load: borderless, on top,
// centred on the main window. It has no behaviour of its own; the loader
// shows it, moves its bar and closes it.
#include <QDialog>

class QLabel;
class QProgressBar;

namespace lekta {

class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);

    // Shows the window over the middle of its parent, the bar at 0.
    void ShowCentred();

    QLabel* Label1;
    QProgressBar* ProgressBar1;
};

}  // namespace lekta
