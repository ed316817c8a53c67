#include "output/number_format_code.h"

namespace lekta::output {

namespace {

QChar latin_code(QChar ch)
{
    switch (ch.unicode()) {
    case u'Д': return 'D';
    case u'д': return 'd';
    case u'М': return 'M';
    case u'м': return 'm';
    case u'Г': return 'Y';
    case u'г': return 'y';
    case u'Ч': return 'H';
    case u'ч': return 'h';
    case u'С': return 'S';
    case u'с': return 's';
    default: return ch;
    }
}

}  // namespace

QString file_number_format(const QString& code)
{
    QString out;
    out.reserve(code.size());
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar ch = code[i];
        if (ch == '"') {
            quoted = !quoted;
            out += ch;
        } else if (!quoted && ch == '\\' && i + 1 < code.size()) {
            out += ch;
            out += code[++i];  // an escaped character is a literal
        } else {
            out += quoted ? ch : latin_code(ch);
        }
    }
    return out;
}

}  // namespace lekta::output
