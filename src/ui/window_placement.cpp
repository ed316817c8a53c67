#include "ui/window_placement.h"

#include <QRect>
#include <QWidget>

namespace lekta::ui {

void centre_on_parent(QWidget& window)
{
    if (const QWidget* parent = window.parentWidget()) {
        const QRect p = parent->frameGeometry();
        window.move(p.center() - window.rect().center());
    }
}

}  // namespace lekta::ui
