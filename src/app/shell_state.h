#pragma once
// Settings and catalogue state that several windows share for the whole run.
#include <QString>
#include <cstdint>

namespace lekta {

struct ShellState {
    QString working_dir;               // WorkDir; ends with "/" once the program set it
    QString default_dir;               // Default_dir: where the open and save dialogs start
    QString line_width;                // line: decimal digits, empty until first set
    std::int32_t color_f = 255;        // load curve, 0x00BBGGRR (a Windows colour value)
    std::int32_t color_ft = 16711680;  // yield-load line, 0x00BBGGRR
    QString catalogue_dir;             // directory the catalogue was last built from, ends with "/"
    QString current_file;              // full path of the test file read last
    int extensometer_columns = 0;      // 1 once an extensometer test was listed in this run
    int opened_row = -1;  // catalogue row of the test opened last; -1 when none was selected
    // True while the graph window's loader reads the test buffer: nothing
    // may refill the buffer until it has handed the test over.
    bool buffer_busy = false;
    // True once the settings were read at start-up; until then nothing may be
    // written back, or a failed start would wipe the stored values.
    bool settings_loaded = false;

    void reset() { *this = ShellState(); }
};
ShellState& shell();

}  // namespace lekta
