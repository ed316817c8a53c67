#include "app/version_text.h"

#ifndef LEKTA_VERSION_TEXT
#define LEKTA_VERSION_TEXT ""
#endif

namespace lekta {

QString version_text(const QString& compiled)
{
    return compiled.size() >= 2 ? compiled : QStringLiteral("V1.01");
}

QString program_version()
{
    return version_text(QStringLiteral(LEKTA_VERSION_TEXT));
}

}  // namespace lekta
