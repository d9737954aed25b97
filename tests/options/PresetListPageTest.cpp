#include "OptionsDialogFixture.h"

#include "options/PresetListPage.h"

#include "FakeFilesHost.h"

#include <QApplication>
#include <QPushButton>

using PresetLists = OptionsDialog;

TEST_F(PresetLists, AClickOrAnArrowKeyShowsTheRowAndTypingEditsOnlyTheSelectedRow)
{
    for (int i : {2, 3}) {
        SaveSetting(PresetSections::Save, QString::number(i), QStringLiteral("/srv/web%1/").arg(i));
        SaveSetting(PresetSections::Save, QStringLiteral("Caption%1").arg(i), QStringLiteral("Web %1").arg(i));
    }
    frmOptions *options = open();
    clickNode(QStringLiteral("k6"));
    clickListRow(options->lstSaveto, 2);
    EXPECT_EQ(options->SavetoPage->captionBox()->text(), QStringLiteral("Web 2"));
    EXPECT_EQ(options->SavetoPage->valueBox()->text(), QStringLiteral("/srv/web2/"));
    QTest::keyClick(options->lstSaveto->treeWidget(), Qt::Key_Down);
    EXPECT_EQ(options->SavetoPage->captionBox()->text(), QStringLiteral("Web 3"));
    EXPECT_EQ(options->SavetoPage->valueBox()->text(), QStringLiteral("/srv/web3/"));

    clickNode(QStringLiteral("k8"));
    PresetListPage *home = options->HomePage;
    typeInto(home->captionBox(), QStringLiteral("Nikam"));
    typeInto(home->valueBox(), QStringLiteral("http://127.0.0.1:1/"));
    // The page opened with its first row selected: the boxes edited that row alone.
    EXPECT_EQ(options->lstHome->item(1).text(), QStringLiteral("Nikam"));
    EXPECT_EQ(options->lstHome->item(1).subItem(1), QStringLiteral("http://127.0.0.1:1/"));
    for (int i = 2; i <= options->lstHome->count(); ++i) {
        EXPECT_TRUE(options->lstHome->item(i).text().isEmpty()) << i;
        EXPECT_TRUE(options->lstHome->item(i).subItem(1).isEmpty()) << i;
    }
    clickListRow(options->lstHome, 4);
    home->captionBox()->setFocus();
    for (const QString &typed : {QStringLiteral("M"), QStringLiteral("Mo"), QStringLiteral("Moj"), QStringLiteral("Moje")}) {
        QTest::keyClick(home->captionBox(), typed.back().toLatin1());
        EXPECT_EQ(options->lstHome->item(4).text(), typed);
    }
    typeInto(home->valueBox(), QStringLiteral("http://127.0.0.1:2/"));
    EXPECT_EQ(options->lstHome->item(4).subItem(1), QStringLiteral("http://127.0.0.1:2/"));
    EXPECT_TRUE(options->lstHome->item(3).subItem(1).isEmpty());
    EXPECT_FALSE(SettingsStore::instance().contains(PresetSections::Home, QStringLiteral("Caption4")));
}

TEST_F(PresetLists, FolderPathsTakeNoTypingAndOnlyTheQuickMoveCaptionStopsAtOneHundred)
{
    const QString stored(150, QLatin1Char('s'));
    SaveSetting(PresetSections::QMove, QStringLiteral("Caption1"), stored);
    frmOptions *options = open();
    for (PresetListPage *page : {options->QCopyPage, options->QMovePage, options->SavetoPage}) {
        SCOPED_TRACE(page->section().toStdString());
        EXPECT_FALSE(page->valueBox()->isEnabled());
        ASSERT_NE(page->picker(), nullptr);
        EXPECT_EQ(page->picker()->toolTip(), QStringLiteral("Vybrat cestu…"));
    }
    EXPECT_EQ(options->OpenWithPage->picker(), nullptr);
    EXPECT_TRUE(options->OpenWithPage->valueBox()->toolTip().startsWith(QStringLiteral("Příklad: ")));

    const struct
    {
        int page;
        PresetListPage *list;
        int kept;
    } cases[] = {{4, options->QMovePage, 100}, {3, options->QCopyPage, 150}};
    for (const auto &line : cases) {
        SCOPED_TRACE(line.page);
        clickNode(frmOptions::pageKey(line.page));
        clickListRow(line.list->list(), 2);
        typeInto(line.list->captionBox(), QString(150, QLatin1Char('t')));
        EXPECT_EQ(line.list->list()->item(2).text().size(), line.kept);
    }
    clickNode(QStringLiteral("k4"));
    clickListRow(options->lstQMove, 1);
    EXPECT_EQ(options->QMovePage->captionBox()->text(), stored);
    click(options->cmdNav[7]);
    EXPECT_EQ(GetSetting(PresetSections::QMove, QStringLiteral("Caption1")), stored);
}

TEST_F(PresetLists, APickerHandsOverItsRowAndShowsTheStoredFolderInThatRowAfterwards)
{
    FakeFilesHost chooser;
    frmOptions *options = open();
    clickNode(QStringLiteral("k3"));
    click(options->QCopyPage->picker());
    EXPECT_EQ(chooser.chosenKeys, QStringList{QStringLiteral("Options\\QCopy\\1")}) << "the first row, selected on opening";
    chooser.chosenKeys.clear();
    chooser.owners.clear();

    clickListRow(options->lstQCopyPaths, 10);
    click(options->QCopyPage->picker());
    ASSERT_EQ(chooser.chosenKeys, QStringList{QStringLiteral("Options\\QCopy\\10")});
    EXPECT_EQ(chooser.owners.value(0), options);
    EXPECT_TRUE(options->lstQCopyPaths->item(10).selected());
    EXPECT_EQ(options->lstQCopyPaths->item(10).subItem(1), chooser.folder);
    EXPECT_EQ(options->QCopyPage->captionBox()->text(), QStringLiteral("Cíl"));
    EXPECT_EQ(options->QCopyPage->valueBox()->text(), chooser.folder);

    // The boxes go on editing the row they show.
    QTest::keyClick(options->QCopyPage->captionBox(), Qt::Key_End);
    QTest::keyClicks(options->QCopyPage->captionBox(), QStringLiteral("2"));
    EXPECT_EQ(options->lstQCopyPaths->item(10).text(), QStringLiteral("Cíl2"));
}

// A list page opens with its first row selected, so what is typed into the boxes edits
// that row, whether the page was chosen in the tree or the dialog opened on it.
TEST_F(PresetLists, AListPageOpensWithItsFirstRowSelectedForTheBoxesToEdit)
{
    // Chosen in the tree, and opened on the page as the menus' "Změnit cesty…" do.
    for (const bool openedOnPage : {false, true}) {
        SCOPED_TRACE(openedOnPage);
        Forms::unload<frmOptions>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const int page = openedOnPage ? 6 : 3;
        if (openedOnPage)
            dialog()->openOnPage(page);
        frmOptions *options = open();
        PresetListPage *list = openedOnPage ? options->SavetoPage : options->QCopyPage;
        options->trwOptions->treeWidget()->setFocus();
        if (!openedOnPage)
            clickNode(frmOptions::pageKey(page));
        EXPECT_TRUE(list->list()->item(1).selected());
        for (int presses = 0; presses < 10 && QApplication::focusWidget() != list->captionBox(); ++presses)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), list->captionBox());
        QTest::keyClicks(list->captionBox(), QStringLiteral("Moje"));
        EXPECT_EQ(list->list()->item(1).text(), QStringLiteral("Moje"));
        EXPECT_TRUE(list->list()->item(2).text().isEmpty());
        click(options->cmdNav[7]);
        EXPECT_EQ(GetSetting(list->section(), QStringLiteral("Caption1")), QStringLiteral("Moje"));
    }
}
