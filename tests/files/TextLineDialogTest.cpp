#include "core/SharedState.h"
#include "files/frmTextLine.h"

#include "FakeFilesHost.h"
#include "ScriptedMessageBoxes.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// The name dialog shown modally, driven by real keys while it shows.
class TextLineDialog : public TempEnvTest
{
protected:
    // Runs the steps once the dialog shows; a dialog they leave open is cancelled.
    bool show(std::function<void()> steps)
    {
        QTimer::singleShot(0, [this, steps] {
            if (!dialog.isVisible()) {
                ADD_FAILURE() << "the dialog is not showing";
                return;
            }
            steps();
            if (dialog.isVisible())
                dialog.reject();
        });
        return dialog.showModal(nullptr);
    }
    void newFolderIn(const QString &folder)
    {
        QDir().mkpath(folder);
        shared().DialogOperation = 2;
        shared().DialogPath = folder + "/";
        dialog.txtText->setText("Nová složka");
    }
    void type(const QString &text)
    {
        QTest::keyClick(dialog.txtText, Qt::Key_A, Qt::ControlModifier);
        // The test library types ASCII only; the rest goes in as typed text would.
        dialog.txtText->insert(text);
    }
    void enter() { QTest::keyClick(dialog.txtText, Qt::Key_Return); }

    frmTextLine dialog;
    ScriptedMessageBoxes boxes;
};

TEST_F(TextLineDialog, ATakenFolderNameKeepsTheDialogOpenWithTheNameSelected)
{
    const QString folder = env.path("Plocha");
    QDir().mkpath(folder + "/Nová složka");
    newFolderIn(folder);
    bool stillShowing = false;
    const bool ok = show([&] {
        EXPECT_EQ(dialog.txtText->selectedText(), "Nová složka") << "the text starts selected";
        enter();
        stillShowing = dialog.isVisible();
        EXPECT_EQ(dialog.windowTitle(), "Složka " + folder + "/Nová složka již existuje.");
        EXPECT_EQ(dialog.lblLabel->text(), "Zvolte jiné jméno.");
        EXPECT_EQ(dialog.focusWidget(), dialog.txtText);
        EXPECT_EQ(dialog.txtText->selectedText(), "Nová složka");
        type("Druhá");
        enter();
    });
    EXPECT_TRUE(stillShowing);
    EXPECT_TRUE(ok);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, "Složka " + folder + "/Nová složka již existuje.");
    EXPECT_EQ(boxes.shown[0].title, "Uživatelská chyba");
    EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Critical);
    EXPECT_TRUE(QFileInfo(folder + "/Druhá").isDir());
}

TEST_F(TextLineDialog, ANameWithCharactersNoFileNameHoldsIsCleaned)
{
    const QString folder = env.path("Plocha");
    newFolderIn(folder);
    EXPECT_TRUE(show([&] {
        type("a:b");
        enter();
    }));
    EXPECT_TRUE(QFileInfo(folder + "/a#b").isDir());
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(TextLineDialog, EnterPressesTheFocusedButton)
{
    const QString folder = env.path("Plocha");
    const auto tabTo = [this](QWidget *target) {
        QApplication::setActiveWindow(&dialog);
        ASSERT_NE(dialog.focusWidget(), nullptr);
        for (int i = 0; i < 5 && dialog.focusWidget() != target; ++i)
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(dialog.focusWidget(), target);
    };
    newFolderIn(folder);
    EXPECT_FALSE(show([&] {
        tabTo(dialog.cmdNav[5]);
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible()) << "Nápověda does nothing, and Enter on it neither";
        tabTo(dialog.cmdNav[6]);
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible()) << "Enter on Storno closes";
    }));
    EXPECT_TRUE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    EXPECT_TRUE(show([&] {
        tabTo(dialog.cmdNav[7]);
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
    }));
    EXPECT_TRUE(QFileInfo(folder + "/Nová složka").isDir());
}

TEST_F(TextLineDialog, EscapeCancelsAndCreatesNothing)
{
    const QString folder = env.path("Plocha");
    newFolderIn(folder);
    EXPECT_FALSE(show([&] { QTest::keyClick(dialog.txtText, Qt::Key_Escape); }));
    EXPECT_TRUE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(TextLineDialog, ASavedPageUnderAnotherNameGoesToTheHostInTheSameFolder)
{
    FakeFilesHost host;
    shared().DialogOperation = 5;
    shared().DialogPath = "/data/stránky/zprávy.htm";
    dialog.txtText->setText("zprávy.htm");
    EXPECT_TRUE(show([&] {
        type("a/b.htm");
        enter();
    }));
    EXPECT_EQ(host.saved, QStringList{"/data/stránky/a#b.htm"}) << "a typed \"/\" never reaches another folder";
}

} // namespace
