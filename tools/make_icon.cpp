// lekta_make_icon: writes the program's icon for the desktop's icon theme.
//
//   lekta_make_icon DIR    DIR/<n>x<n>/apps/lekta.png for every theme size
//
// The build runs it; the PNGs are installed into the hicolor theme.
#include "app/program_icon.h"

#include <QDir>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: lekta_make_icon DIR\n");
        return 2;
    }
    // Painting paths into images needs no application object nor a screen:
    // the build may have neither.
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (int size : lekta::program_icon_sizes()) {
        const QString dir = root.filePath(QStringLiteral("%1x%1/apps").arg(size));
        const QString file = dir + "/lekta.png";
        if (!QDir().mkpath(dir) || !lekta::draw_program_icon(size).save(file, "PNG")) {
            std::fprintf(stderr, "lekta_make_icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
