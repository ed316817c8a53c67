#pragma once
// Qt's own texts (the standard buttons, the file, folder, printer and colour
// dialogs) in the operator's language, from the catalogues Qt ships. The
// program's own texts are plain strings, not looked up, so they stay exactly
// as written whatever is loaded here.
#include <QLibraryInfo>
#include <QLocale>
#include <QString>

namespace lekta::ui {

// Installs Qt's catalogue for `locale` from `folder` ("qtbase", or the
// combined "qt" where only that one is there), replacing the one an earlier
// call installed. False when there is none for that language: Qt's texts are
// English then. Needs the application object; the catalogue lives as long.
bool load_qt_translations(
    const QLocale& locale = QLocale::system(),
    const QString& folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

}  // namespace lekta::ui
