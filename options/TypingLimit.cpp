#include "options/TypingLimit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>

TypingLimit::TypingLimit(QLineEdit *edit, int limit)
    : QObject(edit)
    , m_edit(edit)
    , m_limit(limit)
{
    edit->installEventFilter(this);
}

int TypingLimit::room() const
{
    return m_limit - int(m_edit->text().size() - m_edit->selectedText().size());
}

bool TypingLimit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_edit || event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->matches(QKeySequence::Paste)) {
        const QString pasted = QGuiApplication::clipboard()->text().section(QLatin1Char('\n'), 0, 0);
        if (pasted.size() <= room())
            return false;
        m_edit->insert(pasted.left(qMax(0, room())));
        return true;
    }
    const QString typed = key->text();
    if (typed.isEmpty() || !typed.at(0).isPrint() || (key->modifiers() & Qt::ControlModifier))
        return false;
    return typed.size() > room();
}
