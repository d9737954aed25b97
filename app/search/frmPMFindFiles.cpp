#include "app/panel/frmPM.h"

#include "app/frmMain.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ListView.h"
#include "platform/system/ErrorState.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

namespace {

QAction *menuAction(QMenu *menu, const char *name, const char *caption)
{
    QAction *action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QLatin1String(name));
    return action;
}

frmMain *mainWindow()
{
    return Forms::get<frmMain>();
}

} // namespace

void frmPM::createFindFilesMenu()
{
    mnuFindFiles = new QMenu(this);
    mnuFindFiles->setObjectName(QStringLiteral("mnuFindFiles"));
    mnuFindFilesOpen = menuAction(mnuFindFiles, "mnuFindFilesOpen", "&Otevřít");
    mnuFindFilesOpenNW = menuAction(mnuFindFiles, "mnuFindFilesOpenNW", "Otevřít v &novém okně");
    mnuFindFiles->addSeparator();
    mnuFindFilesAddtoFav = menuAction(mnuFindFiles, "mnuFindFilesAddtoFav", "Přidat k o&blíbeným…");
    mnuFindFiles->addSeparator();
    mnuFindFilesStart = menuAction(mnuFindFiles, "mnuFindFilesStart", "&Zahájit hledání");
    mnuFindFilesStop = menuAction(mnuFindFiles, "mnuFindFilesStop", "Ukončit hledání");
    mnuFindFilesStop->setVisible(false);
    mnuFindFilesClear = menuAction(mnuFindFiles, "mnuFindFilesClear", "Odstranit výsledky hledání");
    mnuFindFiles->addSeparator();
    mnuFindFilesOrderBy = mnuFindFiles->addMenu(QStringLiteral("Seřadit podle"));
    mnuFindFilesOrderBy->setObjectName(QStringLiteral("mnuFindFilesOrderBy"));
    mnuFindFilesOrderByName = menuAction(mnuFindFilesOrderBy, "mnuFindFilesOrderByName", "&Jméno");
    mnuFindFilesOrderByTitle = menuAction(mnuFindFilesOrderBy, "mnuFindFilesOrderByTitle", "&Název");
    mnuFindFilesOrderByPath = menuAction(mnuFindFilesOrderBy, "mnuFindFilesOrderByPath", "&Cesta");
    mnuFindFilesOrderByDateTime = menuAction(mnuFindFilesOrderBy, "mnuFindFilesOrderByDateTime", "&Datum/Čas");
    mnuFindFilesOrderBySize = menuAction(mnuFindFilesOrderBy, "mnuFindFilesOrderBySize", "&Velikost");
    mnuFindFilesOrderBy->addSeparator();
    mnuFindFilesOrderByAsc = menuAction(mnuFindFilesOrderBy, "mnuFindFilesOrderByAsc", "V&zestupně");
    mnuFindFilesOrderByAsc->setCheckable(true);
    mnuFindFilesOrderByAsc->setChecked(true);

    const QAction *columns[] = {mnuFindFilesOrderByName, mnuFindFilesOrderByTitle, mnuFindFilesOrderByPath,
                                mnuFindFilesOrderByDateTime, mnuFindFilesOrderBySize};
    for (int column = 0; column < 5; ++column) {
        QAction *item = const_cast<QAction *>(columns[column]);
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, column] { mnuFindFilesOrderByColumn_Click(column); });
    }
    // The check mark never follows a click by itself: the handler decides.
    connect(mnuFindFilesOrderByAsc, &QAction::triggered, this, [this] { mnuFindFilesOrderByAsc_Click(); });
    connect(mnuFindFilesOpen, &QAction::triggered, this, [] { mainWindow()->openSelectedResult(false); });
    connect(mnuFindFilesOpenNW, &QAction::triggered, this, [] { mainWindow()->openSelectedResult(true); });
    connect(mnuFindFilesAddtoFav, &QAction::triggered, this, [] { mainWindow()->addSelectedResultToFavorites(); });
    connect(mnuFindFilesStart, &QAction::triggered, this, [] { mainWindow()->StartSearch(); });
    connect(mnuFindFilesStop, &QAction::triggered, this, [] { mainWindow()->StopSearch(); });
    connect(mnuFindFilesClear, &QAction::triggered, this, [] { mainWindow()->mnuToolsClearResults_Click(); });
}

void frmPM::mnuFindFiles_Click(bool hasRows)
{
    for (QAction *item : {mnuFindFilesOpen, mnuFindFilesOpenNW, mnuFindFilesAddtoFav, mnuFindFilesClear})
        item->setEnabled(hasRows);
}

void frmPM::popUpFindFiles(bool hasRows)
{
    mnuFindFiles_Click(hasRows);
    mnuFindFiles->setDefaultAction(hasRows ? mnuFindFilesOpen : mnuFindFilesStart);
    mnuFindFiles->popup(QCursor::pos());
}

void frmPM::mnuFindFilesOrderByColumn_Click(int column)
{
    QAction *columns[] = {mnuFindFilesOrderByName, mnuFindFilesOrderByTitle, mnuFindFilesOrderByPath,
                          mnuFindFilesOrderByDateTime, mnuFindFilesOrderBySize};
    for (int i = 0; i < 5; ++i)
        columns[i]->setChecked(i == column);
    runIgnoringErrors([column] {
        ListView *list = mainWindow()->lstResults;
        list->setSorted(true);
        list->setSortKey(column);
    });
}

void frmPM::mnuFindFilesOrderByAsc_Click()
{
    // The item has already toggled its mark: checked now means it was unchecked.
    const bool ascending = mnuFindFilesOrderByAsc->isChecked();
    runIgnoringErrors([ascending] {
        mainWindow()->lstResults->setSortOrder(ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    });
}
