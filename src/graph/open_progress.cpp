#include "graph/open_progress.h"
#include "ui/window_placement.h"

#include <QFont>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace lekta {

TForm7::TForm7(QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Dialog)
{
    setObjectName("Form7");
    // A thin border of its own: without a frame the window would melt into
    // the catalogue behind it.
    setStyleSheet("#Form7 { background: palette(window); border: 1px solid palette(dark); }");
    Label1 = new QLabel(QStringLiteral("Открываю ...."), this);
    Label1->setObjectName("Label1");
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(20);
    Label1->setFont(font);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setFixedHeight(17);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 16);
    layout->setSpacing(12);
    layout->addWidget(Label1, 0, Qt::AlignHCenter);
    layout->addWidget(ProgressBar1);
    setFixedSize(330, 90);
}

void TForm7::ShowCentred()
{
    ProgressBar1->setValue(0);
    ui::centre_on_parent(*this);
    show();
}

}  // namespace lekta
