#include "core/OptionsSettings.h"
#include "core/SharedState.h"
#include "files/frmQ.h"
#include "platform/controls/Forms.h"
#include "platform/store/SettingsStore.h"

#include "TestEnvironment.h"

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
