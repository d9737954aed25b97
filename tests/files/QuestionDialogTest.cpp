#include "core/OptionsSettings.h"
#include "core/SharedState.h"
#include "files/frmQ.h"
#include "platform/controls/Forms.h"
#include "platform/store/SettingsStore.h"

#include "TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

class QuestionDialog : public TempEnvTest
{
protected:
    void TearDown() override { Forms::unload<frmQ>(); }

    // Asks the question and runs the steps while the dialog shows; whatever they leave
    // open is closed by its window frame.
    static bool ask(int op, std::function<void(frmQ *)> steps)
    {
        QTimer::singleShot(0, [steps] {
            frmQ *dialog = Forms::isLoaded<frmQ>() ? Forms::get<frmQ>() : nullptr;
            if (!dialog || !dialog->isVisible()) {
                ADD_FAILURE() << "the question is not showing";
                return;
            }
            steps(dialog);
            if (Forms::isLoaded<frmQ>() && Forms::get<frmQ>()->isVisible())
                Forms::get<frmQ>()->close();
        });
        return frmQ::ask(op, QStringLiteral("Opravdu?"), nullptr);
    }
    static void tick(frmQ *dialog) { QTest::mouseClick(dialog->chkNA, Qt::LeftButton, {}, QPoint(5, dialog->chkNA->height() / 2)); }
};

} // namespace

TEST_F(QuestionDialog, TheTickDisablesNoAndEscYesThenStoresThatQuestionOnly)
{
    const bool answer = ask(4, [](frmQ *dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Dotaz");
        EXPECT_EQ(dialog->lblQ->text(), "Opravdu?");
        tick(dialog);
        EXPECT_FALSE(dialog->cmdNo->isEnabled());
        QTest::keyClick(dialog, Qt::Key_Escape);
        EXPECT_TRUE(dialog->isVisible());
        tick(dialog);
        EXPECT_TRUE(dialog->cmdNo->isEnabled());
        tick(dialog);
        QTest::mouseClick(dialog->cmdYes, Qt::LeftButton);
    });
    EXPECT_TRUE(answer);
    EXPECT_TRUE(shared().NotWarnQMove);
    EXPECT_FALSE(shared().NotWarnQCopy);
    EXPECT_EQ(GetSetting("Options", "NotWarnQMove"), "True");
    EXPECT_FALSE(SettingsStore::instance().contains("Options", "NotWarnQCopy"));
}

TEST_F(QuestionDialog, YesWithoutTheTickAnswersOnceAndEscAnswersNo)
{
    EXPECT_TRUE(ask(3, [](frmQ *dialog) { QTest::keyClick(dialog, Qt::Key_Return); }));
    EXPECT_FALSE(shared().NotWarnQCopy);
    EXPECT_FALSE(SettingsStore::instance().contains("Options", "NotWarnQCopy"));
    EXPECT_FALSE(ask(3, [](frmQ *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); }));
}

TEST_F(QuestionDialog, AFrameCloseAnswersNoEvenAfterAYesAndWithTheTick)
{
    EXPECT_TRUE(ask(4, [](frmQ *dialog) { QTest::mouseClick(dialog->cmdYes, Qt::LeftButton); }));
    EXPECT_FALSE(ask(4, [](frmQ *dialog) {
        dialog->Answer = true;
        tick(dialog);
        dialog->close();
    }));
    EXPECT_FALSE(shared().NotWarnQMove);
}

// Tab moves the focus as a user would; Enter goes to the focused widget.
TEST_F(QuestionDialog, EnterPressesTheFocusedButtonAndTheDefaultOnlyOtherwise)
{
    const auto tabTo = [](frmQ *dialog, QWidget *target) {
        QApplication::setActiveWindow(dialog);
        ASSERT_NE(dialog->focusWidget(), nullptr);
        for (int i = 0; i < 5 && dialog->focusWidget() != target; ++i)
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(dialog->focusWidget(), target);
    };
    const auto enter = [](frmQ *dialog) { QTest::keyClick(dialog->focusWidget(), Qt::Key_Return); };
    EXPECT_FALSE(ask(3, [&](frmQ *dialog) {
        tabTo(dialog, dialog->cmdNo);
        enter(dialog);
    })) << "Enter on No answered Yes";
    EXPECT_FALSE(ask(3, [&](frmQ *dialog) {
        tabTo(dialog, dialog->cmdNo);
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    })) << "the keypad's Enter on No answered Yes";
    EXPECT_TRUE(ask(3, [&](frmQ *dialog) {
        tabTo(dialog, dialog->cmdYes);
        enter(dialog);
    }));
    EXPECT_TRUE(ask(3, [&](frmQ *dialog) {
        tabTo(dialog, dialog->chkNA);
        enter(dialog);
    })) << "the default button takes Enter from the box";
    EXPECT_FALSE(shared().NotWarnQCopy);
}
