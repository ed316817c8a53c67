#include "app/program_files.h"

#include <QDir>
#include <QFileInfo>

#ifndef LEKTA_INSTALLED_LIBRARY_DIR
#define LEKTA_INSTALLED_LIBRARY_DIR ""
#endif
#ifndef LEKTA_INSTALLED_HELP_FILE
#define LEKTA_INSTALLED_HELP_FILE ""
#endif
#ifndef LEKTA_BUILD_PROGRAM_DIR
#define LEKTA_BUILD_PROGRAM_DIR ""
#endif
#ifndef LEKTA_SOURCE_HELP_FILE
#define LEKTA_SOURCE_HELP_FILE ""
#endif

namespace lekta {

namespace {

const QString kPortLibrary = QStringLiteral("libgetnumcom.so");

bool is_file(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

// The same folder however it is spelled (links, "..", a trailing "/").
bool same_folder(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

}  // namespace

ProgramFiles locate_program_files(const ProgramLayout& layout)
{
    const QDir program(layout.program_dir);
    ProgramFiles files;

    const QString beside = program.filePath(kPortLibrary);
    const QString installed_library = layout.library_dir.isEmpty()
                                          ? QString()
                                          : QDir::cleanPath(program.filePath(layout.library_dir +
                                                                             "/" + kPortLibrary));
    files.port_library = !is_file(beside) && is_file(installed_library) ? installed_library
                                                                        : beside;

    const QString installed_help = layout.help_file.isEmpty()
                                       ? QString()
                                       : QDir::cleanPath(program.filePath(layout.help_file));
    if (is_file(installed_help))
        files.help_file = installed_help;
    else if (same_folder(layout.program_dir, layout.build_program_dir) &&
             is_file(layout.source_help_file))
        files.help_file = layout.source_help_file;
    else
        files.help_file = installed_help;  // named in the message when it is missing
    return files;
}

ProgramLayout compiled_layout(const QString& program_dir)
{
    return {program_dir, QStringLiteral(LEKTA_INSTALLED_LIBRARY_DIR),
            QStringLiteral(LEKTA_INSTALLED_HELP_FILE), QStringLiteral(LEKTA_BUILD_PROGRAM_DIR),
            QStringLiteral(LEKTA_SOURCE_HELP_FILE)};
}

}  // namespace lekta
