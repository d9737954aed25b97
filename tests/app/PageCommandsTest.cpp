#include "app/AddFavoriteDialog.h"
#include "app/frmMain.h"
#include "browser/FavoriteShortcut.h"
#include "browser/WindowTable.h"
#include "core/SharedState.h"
#include "platform/controls/Forms.h"
#include "platform/store/SettingsStore.h"

#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>

namespace {

// A main window without browser windows: the commands meet no active window.
class PageCommands : public MainWindowTest
{
protected:
    ScriptedMessageBoxes boxes;
};

// Real input reaches the editable combo itself, which hands it to its text field directly:
// the helpers below deliver events where Qt delivers them, never straight to the field.
class AddressCombo : public PageCommands
{
protected:
    void SetUp() override
    {
        PageCommands::SetUp();
        QApplication::setActiveWindow(main);
        main->txtAddress->setEnabled(true);
    }

    void clickIntoCombo()
    {
        main->picMain->setFocus();
        QLineEdit *field = main->txtAddress->lineEdit();
        QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(4, field->height() / 2));
        QCoreApplication::processEvents();
    }

    static void typeKeys(const QString &text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    static void pressKey(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(QApplication::focusWidget(), key, mods); }
};

TEST_F(AddressCombo, EnterWithoutAWindowWritesOneLogLine)
{
    main->txtAddress_KeyPress(65);
    EXPECT_TRUE(env.logLines().isEmpty()) << "other keys do nothing";
    clickIntoCombo();
    ASSERT_EQ(QApplication::focusWidget(), main->txtAddress);
    typeKeys(QStringLiteral("http://127.0.0.1:1/"));
    pressKey(Qt::Key_Return);
    const QStringList lines = env.logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(";txtAddress_KeyPress;13"))) << lines[0].toStdString();
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(AddressCombo, ClickingOrFocusingSelectsTheWholeTextSoTypingReplacesIt)
{
    main->txtAddress->setEditText(QStringLiteral("http://example.org/"));
    main->txtAddress->lineEdit()->deselect();
    clickIntoCombo();
    EXPECT_TRUE(QTest::qWaitFor([&] { return main->txtAddress->lineEdit()->selectedText() == QStringLiteral("http://example.org/"); }, 5000));
    typeKeys(QStringLiteral("/tmp/b.html"));
    EXPECT_EQ(main->txtAddress->currentText(), QStringLiteral("/tmp/b.html"));

    // A browser window gives the combo the focus with no particular reason (Alt+D, Insert).
    main->picMain->setFocus();
    // Leaving the field without Enter dropped the typing; a window puts its address back.
    EXPECT_EQ(main->txtAddress->currentText(), QString());
    main->txtAddress->setEditText(QStringLiteral("/tmp/b.html"));
    main->txtAddress->lineEdit()->deselect();
    main->txtAddress->setFocus(Qt::OtherFocusReason);
    EXPECT_TRUE(QTest::qWaitFor([&] { return main->txtAddress->lineEdit()->selectedText() == QStringLiteral("/tmp/b.html"); }, 5000));
}

TEST_F(AddressCombo, TypedTextIsNotCompletedFromTheHistory)
{
    main->txtAddress->addItem(QStringLiteral("http://example.org/long/page.html"));
    main->txtAddress->setEditText(QString());
    clickIntoCombo();
    typeKeys(QStringLiteral("http://ex"));
    EXPECT_EQ(main->txtAddress->currentText(), QStringLiteral("http://ex"));
}

TEST_F(AddressCombo, F12SwitchesThePaneAndKeepsTheKeyboardInTheCombo)
{
    main->mnuViewPane_Click(3);
    clickIntoCombo();
    pressKey(Qt::Key_F12, Qt::ShiftModifier);
    EXPECT_TRUE(main->picUn[4]->isVisibleTo(main));
    EXPECT_EQ(QApplication::focusWidget(), main->txtAddress);
    pressKey(Qt::Key_Insert);
    QWidget *focus = QApplication::focusWidget();
    EXPECT_TRUE(focus && (focus == main->picMain || main->picMain->isAncestorOf(focus)))
        << "Insert with the panel shown moves the keyboard into it";
}

TEST_F(PageCommands, FindOnPageSkipsPicturesAndLogsAMissingWindow)
{
    const struct { const char *address; bool logged; } cases[] = {
        {"http://x/a.jpg", false}, {"http://x/a.GIF", false}, {"http://x/a.jpeg", true}, {"http://x/a.png", true},
    };
    int expectedLines = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.address);
        main->txtAddress->setEditText(QString::fromUtf8(c.address));
        main->mnuSearchFindonPage_Click();
        expectedLines += c.logged ? 1 : 0;
        const QStringList lines = env.logLines();
        ASSERT_EQ(lines.size(), expectedLines);
        if (c.logged) {
            EXPECT_TRUE(lines.last().endsWith(QStringLiteral(";mnuSearchFindonPage_Click;") + QString::fromUtf8(c.address)));
        }
    }
}

TEST_F(PageCommands, AFavoriteOpenedInANewWindowRefusesJavascript)
{
    const QString file = env.writeFile(QStringLiteral("fav/zlo.url"), "[InternetShortcut]\r\nURL=JavaScript:alert(1)\r\n");
    main->FavNodeOpen(QStringLiteral("dir"), file, true);
    EXPECT_TRUE(boxes.shown.isEmpty()) << "only files open";
    main->FavNodeOpen(QStringLiteral("file"), file, true);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("This type of link should not be opened in new window, because it will probably terminate the program."));
    EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Exclamation);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Vorlan"));
    EXPECT_EQ(windowTable().WindowNumber, 0);
    main->FavNodeOpen(QStringLiteral("file"), file, false); // no window: nothing
    EXPECT_EQ(boxes.shown.size(), 1);
}

TEST(FavoriteFileNames, AreSafeNamesEndingInDotUrl)
{
    const struct { const char *name; const char *file; } cases[] = {
        {"Seznam", "Seznam.url"},
        {"a/b: c?", "a#b# c#.url"},
        {"  Mezery  ", "Mezery.url"},
        {"", "Bez názvu.url"},
        {"..", "Bez názvu.url"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(favoriteFileName(QString::fromUtf8(c.name)), QString::fromUtf8(c.file));
    }
}

// Answers the add-favorite dialog each time it is shown, in order.
class FavoriteDialogScript : public QObject
{
public:
    explicit FavoriteDialogScript(std::deque<std::function<void(AddFavoriteDialog *)>> steps)
        : m_steps(std::move(steps))
    {
        connect(&m_poll, &QTimer::timeout, this, [this] {
            auto *dialog = qobject_cast<AddFavoriteDialog *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible() || m_steps.empty())
                return;
            seenNames.append(dialog->name());
            auto step = std::move(m_steps.front());
            m_steps.pop_front();
            step(dialog);
        });
        m_poll.start(5);
    }

    QStringList seenNames;

private:
    std::deque<std::function<void(AddFavoriteDialog *)>> m_steps;
    QTimer m_poll;
};

class AddingFavorites : public TempEnvTest
{
protected:
    void SetUp() override { shared().FavoritesDir = env.path(QStringLiteral("Favorites")); }
    QString favorite(const QString &name) const { return QDir(shared().FavoritesDir).filePath(name); }
    ScriptedMessageBoxes boxes;
};

TEST_F(AddingFavorites, AnExistingFavoriteIsReplacedOnlyWhenTheUserSaysSo)
{
    const QString existing = favorite(QStringLiteral("Stará.url"));
    QDir().mkpath(shared().FavoritesDir);
    writeFavoriteFile(existing, QStringLiteral("http://old/"));

    boxes.answers = {MsgBoxResult::No};
    FavoriteDialogScript declined({[](AddFavoriteDialog *d) { d->accept(); }, [](AddFavoriteDialog *d) { d->reject(); }});
    EXPECT_EQ(AddFavorite(QStringLiteral("http://new/"), QStringLiteral("Stará")), QString());
    EXPECT_EQ(declined.seenNames.size(), 2) << "asked again after No";
    EXPECT_EQ(readShortcutAddress(existing), QStringLiteral("http://old/"));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].buttons(), MsgBoxStyle::YesNo);

    boxes.answers = {MsgBoxResult::Yes};
    FavoriteDialogScript accepted({[](AddFavoriteDialog *d) { d->accept(); }});
    EXPECT_EQ(AddFavorite(QStringLiteral("http://new/"), QStringLiteral("Stará")), existing);
    EXPECT_EQ(readShortcutAddress(existing), QStringLiteral("http://new/"));
}

} // namespace
