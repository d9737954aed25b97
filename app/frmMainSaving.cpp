#include "app/frmMain.h"

// Page saving and the options dialog are entered only through these; their own work
// fills them in.

void frmMain::SavePageAsHtml(const QString &path)
{
    Q_UNUSED(path);
}

void frmMain::mnuPageSaveHTML_Click()
{
}

void frmMain::mnuPageSaveBack_Click()
{
}

// Page 0 shows the dialog on whatever page it showed last.
void frmMain::ShowOptionsPage(int page)
{
    Q_UNUSED(page);
}
