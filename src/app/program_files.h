#pragma once
// Where the program finds the files it ships with. In the build folder the
// port-lookup library sits beside the executable; once installed it lives in
// the program's own library folder and the help under the data folder, both
// found from the executable's folder, so an installed copy works wherever
// its prefix is and never reaches back into the build or source tree.
#include <QString>

namespace lekta {

struct ProgramLayout {
    QString program_dir;        // the executable's folder
    QString library_dir;        // the installed library folder, relative to program_dir
    QString help_file;          // the installed help page, relative to program_dir
    QString build_program_dir;  // the build folder's executable folder
    QString
        source_help_file;  // the help page in the source tree, served only from the build folder
};

struct ProgramFiles {
    QString port_library;  // the library to load; beside the program when found nowhere
    QString help_file;     // the help page; the installed place when found nowhere
};

ProgramFiles locate_program_files(const ProgramLayout& layout);

// The layout compiled into this program (the install folders chosen when it
// was configured), for the given executable folder.
ProgramLayout compiled_layout(const QString& program_dir);

}  // namespace lekta
