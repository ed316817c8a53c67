#include "graph/radio_group.h"

#include "ui/guarded_connect.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QRadioButton>

namespace lekta {

RadioGroup::RadioGroup(const QStringList& items, QWidget* parent)
    : QGroupBox(parent), group_(new QButtonGroup(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 2);
    layout->setSpacing(24);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        group_->addButton(b, i);
        layout->addWidget(b);
        buttons_.push_back(b);
    }
    layout->addStretch();
    ui::connect_guarded(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked && id != index_) {
            index_ = id;
            emit Changed(id);
        }
    });
}

void RadioGroup::SetItemIndex(int index)
{
    if (index == index_)
        return;
    if (index < 0 || index >= static_cast<int>(buttons_.size())) {
        group_->setExclusive(false);
        for (QRadioButton* b : buttons_)
            b->setChecked(false);
        group_->setExclusive(true);
        index_ = -1;
        emit Changed(-1);
        return;
    }
    buttons_[static_cast<std::size_t>(index)]->setChecked(true);  // idToggled does the rest
}

}  // namespace lekta
