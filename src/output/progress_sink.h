#pragma once
// What an export tells the operator while it runs: a label and a bar.
#include <QString>

namespace lekta::output {

class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    // Shows the window with its label and lets it be drawn once.
    virtual void begin(const QString& label) = 0;
    virtual void set_maximum(int maximum) = 0;
    virtual void set_position(int position) = 0;
    // Closes the window; safe to call again.
    virtual void end() = 0;
};

}  // namespace lekta::output
