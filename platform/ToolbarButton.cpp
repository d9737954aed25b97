#include "platform/ToolbarButton.h"

#include "platform/ButtonMenu.h"
#include "platform/ErrorState.h"
#include "platform/Toolbar.h"

#include <QAction>
#include <QToolButton>

ToolbarButton::ToolbarButton(Toolbar *owner, const QString &key, ButtonStyle style)
    : m_owner(owner)
    , m_key(key)
    , m_style(style)
{
    if (style == ButtonStyle::Separator) {
        m_action = owner->addSeparator();
        return;
    }
    m_button = new QToolButton(owner);
    m_button->setAutoRaise(true);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setIconSize(owner->iconSize());
    m_button->setCheckable(style == ButtonStyle::Check);
    if (style == ButtonStyle::DropDown) {
        m_menu = new ButtonMenu(m_button);
        m_button->setMenu(m_menu);
        m_button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    m_action = owner->addWidget(m_button);
    refreshTextStyle();
}

ToolbarButton::~ToolbarButton() = default;

bool ToolbarButton::isEnabled() const
{
    return m_action->isEnabled();
}

void ToolbarButton::setEnabled(bool enabled)
{
    m_action->setEnabled(enabled);
}

bool ToolbarButton::isVisible() const
{
    return m_action->isVisible();
}

void ToolbarButton::setVisible(bool visible)
{
    m_action->setVisible(visible);
}

int ToolbarButton::value() const
{
    if (m_style == ButtonStyle::Check)
        return m_button->isChecked() ? 1 : 0;
    return m_value;
}

void ToolbarButton::setValue(int value)
{
    if (value != 0 && value != 1)
        raiseError(ErrorNumber::InvalidPropertyValue);
    m_value = value;
    if (m_style == ButtonStyle::Check)
        m_button->setChecked(value == 1);
}

void ToolbarButton::setCaption(const QString &caption)
{
    m_caption = caption;
    if (m_button)
        m_button->setText(caption);
    refreshTextStyle();
}

QString ToolbarButton::toolTip() const
{
    return m_button ? m_button->toolTip() : QString();
}

void ToolbarButton::setToolTip(const QString &text)
{
    if (m_button)
        m_button->setToolTip(text);
}

void ToolbarButton::setImage(const QString &imageKey)
{
    const QIcon icon = m_owner->iconFor(imageKey);
    m_imageKey = imageKey;
    if (m_button)
        m_button->setIcon(icon);
}

ButtonMenu &ToolbarButton::menu() const
{
    if (!m_menu)
        raiseError(ErrorNumber::IllegalCall);
    return *m_menu;
}

// After the image lists changed: a key the new lists lack shows no image.
void ToolbarButton::refreshIcon()
{
    if (!m_button)
        return;
    m_button->setIcon(m_owner->hasImage(m_imageKey) ? m_owner->iconFor(m_imageKey) : QIcon());
}

void ToolbarButton::refreshTextStyle()
{
    if (!m_button)
        return;
    // A button without a caption stays as small as its image, also while text is shown.
    const bool text = m_owner->showText() && !m_caption.isEmpty();
    m_button->setToolButtonStyle(text ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
}
