#pragma once
// A framed group of radio buttons side by side, one of them selected: the
// selection is read and set by index, and Changed follows every change of
// it, whether the operator clicked or the program set it.
#include <QGroupBox>
#include <QStringList>
#include <vector>

class QButtonGroup;
class QRadioButton;

namespace lekta {

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit RadioGroup(const QStringList& items, QWidget* parent = nullptr);

    int ItemIndex() const { return index_; }
    // Selects item `index` (-1: none); Changed follows when that is a change.
    void SetItemIndex(int index);
    QRadioButton* Button(int index) const { return buttons_.at(static_cast<std::size_t>(index)); }

signals:
    void Changed(int index);

private:
    QButtonGroup* group_;
    std::vector<QRadioButton*> buttons_;
    int index_ = -1;
};

}  // namespace lekta
