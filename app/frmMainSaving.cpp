#include "app/frmMain.h"

#include "options/frmOptions.h"
#include "platform/controls/Forms.h"
#include "platform/controls/MessageBox.h"

// Page saving is entered only through these; its own work fills them in.

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
    if (DialogLoops::ending())
        return;
    frmOptions *options = Forms::get<frmOptions>();
    if (page > 0)
        options->openOnPage(page);
    options->showModal(this);
}
