#pragma once
// A colour box: a drop-down list of colours by name with a swatch each. It
// offers the sixteen standard colours, optionally the four extended ones and
// the system colours, and a custom choice at the top that asks the colour
// dialog. Colours are the settings' values: 0x00BBGGRR, or a system colour
// (0x80000000 | index). A value that is not in the list shows as the custom
// entry.
#include <QComboBox>
#include <cstdint>

namespace lekta::ui {

class Dialogs;

class ColorBox : public QComboBox {
    Q_OBJECT
public:
    enum Style : unsigned { Standard = 1, Extended = 2, System = 4, Custom = 8 };
    explicit ColorBox(unsigned style, QWidget* parent = nullptr);

    // The colour dialog of the custom entry goes through these dialogs.
    void set_dialogs(Dialogs* dialogs) { dialogs_ = dialogs; }

    std::int32_t Selected() const;
    void SetSelected(std::int32_t colour);

private:
    void activated_index(int index);
    void set_custom(std::int32_t colour);

    Dialogs* dialogs_ = nullptr;
    bool has_custom_ = false;
    int previous_ = 0;
};

}  // namespace lekta::ui
