#include "platform/controls/ToolbarButton.h"

#include "platform/controls/ButtonMenu.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/Toolbar.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QWidgetAction>

namespace {

// A button's place in its toolbar. The toolbar shows the button itself; the list behind
// the toolbar's chevron, which holds the buttons the toolbar has no room for, shows the
// action as an entry of its own (a widget placed there would be lost).
class ButtonAction : public QWidgetAction
{
public:
    ButtonAction(Toolbar *owner, QToolButton *button) : QWidgetAction(owner), m_owner(owner), m_button(button) {}

protected:
    QWidget *createWidget(QWidget *parent) override
    {
        if (parent != m_owner || !m_button)
            return nullptr;
        m_button->setParent(parent);
        return m_button;
    }
    // The toolbar owns the button: it goes with the toolbar, not with its place.
    void deleteWidget(QWidget *) override {}

private:
    Toolbar *m_owner;
    QToolButton *m_button;
};

} // namespace

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
    m_button->hide(); // until the toolbar places it
    m_button->setAutoRaise(true);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setIconSize(owner->iconSize());
    m_button->setCheckable(style == ButtonStyle::Check);
    m_action = new ButtonAction(owner, m_button);
    m_action->setCheckable(style == ButtonStyle::Check);
    if (style == ButtonStyle::DropDown) {
        m_menu = new ButtonMenu(m_button);
        m_button->setMenu(m_menu);
        m_button->setPopupMode(QToolButton::MenuButtonPopup);
        m_action->setMenu(m_menu);
        // The open list holds the pointer, so the button never hears it leave and would
        // stay drawn raised and lit once the list closes elsewhere.
        QObject::connect(m_menu, &QMenu::aboutToHide, m_button, [button = m_button] {
            QTimer::singleShot(0, button, [button] {
                if (!button->rect().contains(button->mapFromGlobal(QCursor::pos()))) {
                    button->setAttribute(Qt::WA_UnderMouse, false);
                    button->update();
                }
            });
        });
    }
    // The chevron's entry acts as the button and shows its state.
    QObject::connect(m_action, &QAction::triggered, m_button, &QToolButton::click);
    QObject::connect(m_button, &QToolButton::toggled, m_action, &QAction::setChecked);
    owner->addAction(m_action);
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

// The chevron's entry for the button: its caption, else its label text, else its tooltip.
void ToolbarButton::refreshEntry()
{
    if (!m_button)
        return;
    const QString text = !m_caption.isEmpty() ? m_caption : !m_description.isEmpty() ? m_description : toolTip();
    m_action->setText(text);
    m_action->setIcon(m_button->icon());
}

void ToolbarButton::setCaption(const QString &caption)
{
    m_caption = caption;
    if (m_button)
        m_button->setText(caption);
    refreshTextStyle();
    refreshEntry();
}

void ToolbarButton::setDescription(const QString &description)
{
    m_description = description;
    refreshEntry();
}

QString ToolbarButton::toolTip() const
{
    return m_button ? m_button->toolTip() : QString();
}

void ToolbarButton::setToolTip(const QString &text)
{
    if (m_button)
        m_button->setToolTip(text);
    refreshEntry();
}

void ToolbarButton::setImage(const QString &imageKey)
{
    const QIcon icon = m_owner->iconFor(imageKey);
    m_imageKey = imageKey;
    if (m_button)
        m_button->setIcon(icon);
    refreshEntry();
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
    refreshEntry();
}

void ToolbarButton::refreshTextStyle()
{
    if (!m_button)
        return;
    // A button without a caption stays as small as its image, also while text is shown.
    const bool text = m_owner->showText() && !m_caption.isEmpty();
    const Qt::ToolButtonStyle withText = m_owner->textBesideImages() ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonTextUnderIcon;
    m_button->setToolButtonStyle(text ? withText : Qt::ToolButtonIconOnly);
}
