#include "ui/colour_box.h"

#include "ui/colour.h"
#include "ui/dialogs.h"
#include "ui/guarded_connect.h"

#include <QPainter>
#include <QPixmap>

namespace lekta::ui {

namespace {

struct Named {
    std::int32_t value;
    const char* name;
};

// 0x00BBGGRR.
constexpr Named kStandard[] = {
    {0x000000, "Чёрный"},       {0x000080, "Тёмно-красный"}, {0x008000, "Зелёный"},
    {0x008080, "Оливковый"},    {0x800000, "Тёмно-синий"},   {0x800080, "Пурпурный"},
    {0x808000, "Сине-зелёный"}, {0x808080, "Серый"},         {0xC0C0C0, "Серебристый"},
    {0x0000FF, "Красный"},      {0x00FF00, "Лайм"},          {0x00FFFF, "Жёлтый"},
    {0xFF0000, "Синий"},        {0xFF00FF, "Фуксия"},        {0xFFFF00, "Голубой"},
    {0xFFFFFF, "Белый"},
};
constexpr Named kExtended[] = {
    {0xC0DCC0, "Зелёный денежный"},
    {0xF0CAA6, "Небесно-голубой"},
    {0xF0FBFF, "Кремовый"},
    {0xA4A0A0, "Средне-серый"},
};
constexpr const char* kSystem[] = {
    "Полоса прокрутки",
    "Рабочий стол",
    "Заголовок активного окна",
    "Заголовок неактивного окна",
    "Меню",
    "Окно",
    "Рамка окна",
    "Текст меню",
    "Текст окна",
    "Текст заголовка",
    "Граница активного окна",
    "Граница неактивного окна",
    "Фон приложения",
    "Выделение",
    "Текст выделения",
    "Поверхность кнопки",
    "Тень кнопки",
    "Недоступный текст",
    "Текст кнопки",
    "Текст неактивного заголовка",
    "Подсветка кнопки",
    "Тёмная тень",
    "Светлая грань",
    "Текст подсказки",
    "Фон подсказки",
    "Другая поверхность кнопки",
    "Отслеживание",
    "Градиент активного заголовка",
    "Градиент неактивного заголовка",
    "Выделение меню",
    "Полоса меню",
};
constexpr int kRole = Qt::UserRole;

QIcon swatch(std::int32_t colour)
{
    QPixmap p(16, 12);
    p.fill(windows_colour(colour));
    QPainter painter(&p);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 15, 11);
    return QIcon(p);
}

}  // namespace

ColorBox::ColorBox(unsigned style, QWidget* parent) : QComboBox(parent)
{
    setIconSize(QSize(16, 12));
    setMaxVisibleItems(20);
    if (style & Custom) {
        addItem(QStringLiteral("Другой…"), QVariant());
        has_custom_ = true;
    }
    auto add = [this](std::int32_t value, const char* name) {
        addItem(swatch(value), QString::fromUtf8(name), QVariant(static_cast<qint64>(value)));
    };
    if (style & Standard)
        for (const Named& c : kStandard)
            add(c.value, c.name);
    if (style & Extended)
        for (const Named& c : kExtended)
            add(c.value, c.name);
    if (style & System)
        for (int i = 0; i < static_cast<int>(std::size(kSystem)); ++i)
            add(kSystemColour | i, kSystem[i]);
    connect_guarded(this, qOverload<int>(&QComboBox::activated), this, &ColorBox::activated_index);
    setCurrentIndex(has_custom_ && count() > 1 ? 1 : 0);
    previous_ = currentIndex();
}

std::int32_t ColorBox::Selected() const
{
    const QVariant v = currentData(kRole);
    return v.isValid() ? static_cast<std::int32_t>(v.toLongLong()) : 0;
}

void ColorBox::set_custom(std::int32_t colour)
{
    if (!has_custom_) {
        insertItem(0, QStringLiteral("Другой…"), QVariant());
        has_custom_ = true;
    }
    setItemData(0, QVariant(static_cast<qint64>(colour)), kRole);
    setItemIcon(0, swatch(colour));
    setCurrentIndex(0);
}

void ColorBox::SetSelected(std::int32_t colour)
{
    const int i = findData(QVariant(static_cast<qint64>(colour)), kRole);
    if (i > 0 || (i == 0 && !has_custom_))
        setCurrentIndex(i);
    else
        set_custom(colour);
    previous_ = currentIndex();
}

void ColorBox::activated_index(int index)
{
    if (!(has_custom_ && index == 0)) {
        previous_ = index;
        return;
    }
    // The custom entry asks the colour dialog; a cancel keeps what was chosen.
    const QVariant held = itemData(0, kRole);
    const std::int32_t start = held.isValid() ? static_cast<std::int32_t>(held.toLongLong())
                                              : static_cast<std::int32_t>(
                                                    itemData(previous_, kRole).toLongLong());
    const std::optional<QColor> chosen = dialogs_ ? dialogs_->choose_colour(windows_colour(start))
                                                  : std::nullopt;
    if (!chosen) {
        setCurrentIndex(previous_ == 0 && !held.isValid() ? 1 : previous_);
        return;
    }
    SetSelected(windows_colour_value(*chosen));
}

}  // namespace lekta::ui
