#include "series/series_selector.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/guarded_connect.h"

namespace lekta {

TForm4::TForm4(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form4");
    setWindowTitle(QStringLiteral("Построение графиков"));
    auto* layout = new QVBoxLayout(this);
    GroupBox1 = new QGroupBox(QStringLiteral("Выберете графики"), this);
    GroupBox1->setObjectName("GroupBox1");
    auto* group = new QVBoxLayout(GroupBox1);
    auto* caption = new QLabel(QStringLiteral("Серия"), GroupBox1);
    ListBox1 = new QListWidget(GroupBox1);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    caption->setBuddy(ListBox1);
    CheckBox1 = new QCheckBox(QStringLiteral("W, %"), GroupBox1);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox2 = new QCheckBox(QStringLiteral("T, °C"), GroupBox1);
    CheckBox2->setObjectName("CheckBox2");
    CheckBox1->setVisible(false);
    CheckBox2->setVisible(false);
    group->addWidget(caption);
    group->addWidget(ListBox1);
    group->addWidget(CheckBox1);
    group->addWidget(CheckBox2);
    layout->addWidget(GroupBox1);
    Button1 = new QPushButton(QStringLiteral("Построить"), this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    layout->addWidget(Button1, 0, Qt::AlignRight);
    ui::connect_guarded(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    ui::connect_guarded(ListBox1, &QListWidget::itemDoubleClicked, this, &TForm4::Button1Click);
    resize(300, 360);
}

void TForm4::SetSeries(const std::vector<series::SeriesEntry>& entries)
{
    ListBox1->clear();
    for (const series::SeriesEntry& e : entries) {
        auto* item = new QListWidgetItem(QString::fromStdString(series::entry_text(e)), ListBox1);
        item->setData(Qt::UserRole, e.series);
    }
}

std::set<int> TForm4::ChosenSeries() const
{
    std::set<int> chosen;
    for (const QListWidgetItem* item : ListBox1->selectedItems())
        chosen.insert(item->data(Qt::UserRole).toInt());
    return chosen;
}

void TForm4::Button1Click()
{
    const std::set<int> chosen = ChosenSeries();
    if (chosen.empty()) {
        if (dialogs)
            ui::show_message(*dialogs, QStringLiteral("Не выбрана ни одна серия"));
        return;
    }
    accept();
    if (on_build)
        on_build(chosen);
}

}  // namespace lekta
