#include "platform/controls/Toolbar.h"

#include "platform/controls/ButtonMenu.h"
#include "platform/controls/ImageList.h"

#include <QToolButton>

namespace {

QList<QSize> sizesOf(const QIcon &icon, const QSize &fallback)
{
    QList<QSize> sizes = icon.availableSizes();
    if (sizes.isEmpty())
        sizes << fallback;
    return sizes;
}

} // namespace

Toolbar::Toolbar(QWidget *parent)
    : QToolBar(parent)
{
    setMovable(false);
    setFloatable(false);
    connect(this, &QToolBar::iconSizeChanged, this, [this](const QSize &size) {
        for (int i = 1; i <= count(); ++i) {
            if (QToolButton *widget = m_buttons.at(i)->widget())
                widget->setIconSize(size);
        }
    });
}

Toolbar::~Toolbar() = default;

void Toolbar::setImageList(ImageList *images)
{
    m_images = images;
    if (images)
        setIconSize(images->imageSize());
    refreshButtons();
}

void Toolbar::setHotImageList(ImageList *images)
{
    m_hotImages = images;
    refreshButtons();
}

ToolbarButton &Toolbar::addButton(const QString &key, const QString &caption, ButtonStyle style,
                                  const QString &imageKey)
{
    if (m_buttons.contains(key))
        raiseKeyTaken(key);
    iconFor(imageKey); // fails before anything is added
    std::unique_ptr<ToolbarButton> button(new ToolbarButton(this, key, style));
    ToolbarButton &added = *button;
    m_buttons.append(key, std::move(button));
    added.setCaption(caption);
    added.setImage(imageKey);
    connectButton(added);
    return added;
}

void Toolbar::setShowText(bool show)
{
    m_showText = show;
    refreshButtons();
}

void Toolbar::setTextBesideImages(bool beside)
{
    m_textBeside = beside;
    refreshButtons();
}

bool Toolbar::hasImage(const QString &imageKey) const
{
    return imageKey.isEmpty() || (m_images && m_images->contains(imageKey));
}

QIcon Toolbar::iconFor(const QString &imageKey) const
{
    if (imageKey.isEmpty())
        return {};
    const QIcon normal = iconFromList(m_images, imageKey);
    if (!m_hotImages || !m_hotImages->contains(imageKey))
        return normal;
    // The style draws the Active mode while the pointer is over an auto-raised button.
    const QIcon hot = m_hotImages->icon(imageKey);
    QIcon both;
    for (const QSize &size : sizesOf(normal, iconSize()))
        both.addPixmap(normal.pixmap(size), QIcon::Normal);
    for (const QSize &size : sizesOf(hot, iconSize()))
        both.addPixmap(hot.pixmap(size), QIcon::Active);
    return both;
}

void Toolbar::connectButton(ToolbarButton &button)
{
    QToolButton *widget = button.widget();
    if (!widget)
        return;
    const QString key = button.key();
    connect(widget, &QToolButton::clicked, this, [this, key] { emit buttonClicked(key); });
    if (button.style() != ButtonStyle::DropDown)
        return;
    ButtonMenu &menu = button.menu();
    connect(&menu, &QMenu::aboutToShow, this, [this, key] { emit buttonDropDown(key); });
    connect(&menu, &ButtonMenu::itemClicked, this,
            [this, key](const QString &itemKey, int index) { emit buttonMenuClicked(key, itemKey, index); });
}

void Toolbar::refreshButtons()
{
    for (int i = 1; i <= count(); ++i) {
        m_buttons.at(i)->refreshIcon();
        m_buttons.at(i)->refreshTextStyle();
    }
}
