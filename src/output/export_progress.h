#pragma once
// The progress window shown while the catalogue is exported: borderless,
// always on top, centred on the main window, a label above a bar.
#include <QDialog>

#include "output/progress_sink.h"

class QLabel;
class QProgressBar;

namespace lekta {

class TForm9 : public QDialog, public output::ExportProgress {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);

    QLabel* Label1;
    QProgressBar* ProgressBar1;

    void begin(const QString& label) override;
    void set_maximum(int maximum) override;
    void set_position(int position) override;
    void end() override;
};

}  // namespace lekta
