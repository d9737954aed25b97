#include "browser/PaneKeys.h"

#include <Qt>

PaneKeyDecision paneKeyDecision(PaneKind pane, int key, int shift)
{
    using A = PaneKeyAction;
    switch (key) {
    case Qt::Key_Delete: return {A::Remove, true};
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (pane == PaneKind::Favorites)
            return {A::Open, true};
        return {};
    case Qt::Key_F2:
        if (pane == PaneKind::Links)
            return {A::EditCaption, true};
        return {};
    case Qt::Key_F10: return {shift == 1 ? A::PopUp : A::None, true};
    case Qt::Key_Menu: return {A::PopUp, false};
    case Qt::Key_Insert: return {A::FocusPage, false};
    case Qt::Key_F12:
        if (shift == 0)
            return {A::NextPane, false};
        return {shift == 2 ? A::HidePanel : A::None, false};
    default: return {};
    }
}

bool paneKeyClaimed(PaneKind pane, int key, int shift)
{
    const PaneKeyDecision decision = paneKeyDecision(pane, key, shift);
    return decision.consumed || decision.action != PaneKeyAction::None;
}
