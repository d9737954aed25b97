#include "platform/controls/ButtonMenu.h"

#include <QAction>

namespace {

const QLatin1String SeparatorText("-");

// A separator keeps no text: the style draws a separator with text as a heading.
void applyText(QAction *action, const QString &text)
{
    const bool separator = text == SeparatorText;
    action->setSeparator(separator);
    action->setText(separator ? QString() : text);
}

} // namespace

ButtonMenu::ButtonMenu(QWidget *parent)
    : QMenu(parent)
{
}

void ButtonMenu::addItem(const QString &key, const QString &text)
{
    if (m_items.contains(key))
        raiseKeyTaken(key);
    auto *action = new QAction(this);
    applyText(action, text);
    m_items.append(key, action);
    addAction(action);
    connect(action, &QAction::triggered, this, [this, action] {
        const int index = m_items.findIf([action](const QAction *a) { return a == action; });
        emit itemClicked(m_items.keyAt(index), index);
    });
}

QString ButtonMenu::itemText(const ItemRef &item) const
{
    const QAction *action = m_items[item];
    return action->isSeparator() ? QString(SeparatorText) : action->text();
}

void ButtonMenu::setItemText(const ItemRef &item, const QString &text)
{
    applyText(m_items[item], text);
}

QString ButtonMenu::itemTag(const ItemRef &item) const
{
    return m_items[item]->data().toString();
}

void ButtonMenu::setItemTag(const ItemRef &item, const QString &tag)
{
    m_items[item]->setData(tag);
}

bool ButtonMenu::isItemEnabled(const ItemRef &item) const
{
    return m_items[item]->isEnabled();
}

void ButtonMenu::setItemEnabled(const ItemRef &item, bool enabled)
{
    m_items[item]->setEnabled(enabled);
}

bool ButtonMenu::isItemVisible(const ItemRef &item) const
{
    return m_items[item]->isVisible();
}

void ButtonMenu::setItemVisible(const ItemRef &item, bool visible)
{
    m_items[item]->setVisible(visible);
}
