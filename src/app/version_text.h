#pragma once
#include <QString>
namespace lekta {
// The version shown in the about box: the version compiled into the program,
// or "V1.01" when there is none (fewer than two characters).
QString version_text(const QString& compiled);
QString program_version();
}  // namespace lekta
