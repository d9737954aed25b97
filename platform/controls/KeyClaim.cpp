#include "platform/controls/KeyClaim.h"

#include <QKeyEvent>
#include <QWidget>

namespace {

// Qt asks the widget with the keyboard, and then its parents, whether it wants a key
// before any shortcut may take it; accepting that question keeps the key for them.
class KeyClaimFilter : public QObject
{
    Q_OBJECT

public:
    KeyClaimFilter(QWidget *widget, KeyClaim claim)
        : QObject(widget)
        , m_claim(std::move(claim))
    {
    }

    void setClaim(KeyClaim claim) { m_claim = std::move(claim); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ShortcutOverride && m_claim) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (m_claim(key->key(), key->modifiers() & ~Qt::KeypadModifier)) {
                event->accept();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    KeyClaim m_claim;
};

} // namespace

void claimKeys(QWidget *widget, KeyClaim claim)
{
    if (auto *filter = widget->findChild<KeyClaimFilter *>(QString(), Qt::FindDirectChildrenOnly)) {
        filter->setClaim(std::move(claim));
        return;
    }
    widget->installEventFilter(new KeyClaimFilter(widget, std::move(claim)));
}

#include "KeyClaim.moc"
