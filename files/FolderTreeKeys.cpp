#include "files/FolderTreeKeys.h"

#include "core/SharedState.h"
#include "files/FileCommands.h"
#include "files/frmQ.h"
#include "platform/store/SettingsStore.h"
#include "platform/system/ErrorState.h"

namespace FolderTreeKeys {

namespace {

Qt::KeyboardModifiers held(Qt::KeyboardModifiers modifiers)
{
    return modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
}

bool presetSet(const QString &section, int n)
{
    QString caption;
    runIgnoringErrors([&] { caption = GetSetting(section, QStringLiteral("Caption%1").arg(n)); });
    return !caption.isEmpty();
}

} // namespace

Row row(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers mods = held(modifiers);
    switch (key) {
    case Qt::Key_Delete: return Row::Delete;
    case Qt::Key_F2: return Row::Rename;
    case Qt::Key_F5: return Row::Prune;
    case Qt::Key_Menu: return Row::Menu;
    case Qt::Key_F10: return mods == Qt::ShiftModifier ? Row::Menu : Row::Swallow;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Row::Open;
    case Qt::Key_Right: return Row::Reload;
    case Qt::Key_Shift: return Row::Shift;
    case Qt::Key_Insert: return Row::Insert;
    case Qt::Key_F12:
        if (mods == Qt::NoModifier)
            return Row::SearchPane;
        return mods == Qt::ControlModifier ? Row::HidePanel : Row::None;
    default: return Row::None;
    }
}

bool cleared(Row row)
{
    switch (row) {
    case Row::Delete:
    case Row::Rename:
    case Row::Prune:
    case Row::Menu:
    case Row::Swallow:
    case Row::Shift: return true;
    default: return false;
    }
}

int keypadDigit(int key, Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::KeypadModifier) || key < Qt::Key_0 || key > Qt::Key_9)
        return -1;
    return key - Qt::Key_0;
}

void quickFileKey(QObject *owner, const QString &path, int digit, Qt::KeyboardModifiers modifiers,
                  QWidget *dialogOwner)
{
    const int n = digit + 1;
    const Qt::KeyboardModifiers mods = held(modifiers);
    const SharedState &s = shared();
    if (mods == Qt::NoModifier && presetSet(PresetSections::QMove, n)) {
        if (!s.NotWarnQMove
            && !frmQ::ask(4,
                          QStringLiteral("Tato klávesová zkratka přesune automaticky soubor do přednastavené cesty "
                                         "bez dalšího dotazování. Chcete soubor opravdu přesunout?"),
                          dialogOwner))
            return;
        MoveFileUI(owner, path, n, QString());
    } else if (mods == Qt::ControlModifier && presetSet(PresetSections::QCopy, n)) {
        if (!s.NotWarnQCopy
            && !frmQ::ask(3,
                          QStringLiteral("Tato klávesová zkratka zkopíruje automaticky soubor do přednastavené "
                                         "cesty bez dalšího dotazování. Chcete soubor opravdu zkopírovat?"),
                          dialogOwner))
            return;
        CopyFileUI(owner, path, n, QString());
    }
}

} // namespace FolderTreeKeys
