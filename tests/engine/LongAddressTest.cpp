#include "Waits.h"
#include "app/frmMain.h"
#include "browser/frmWeb.h"
#include "platform/engine/BrowserControl.h"

#include "MainWindowTest.h"
#include "ScriptedMessageBoxes.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QUrl>

namespace {

// The engine's own limit on an address.
constexpr int kLongestAddress = 2097152;

class LongAddress : public MainWindowTest
{
protected:
    // Pastes the text over the address field's text and presses Enter, as a user does.
    void pasteAddress(const QString &text)
    {
        QApplication::clipboard()->setText(text);
        QApplication::setActiveWindow(main);
        QLineEdit *field = main->txtAddress->lineEdit();
        QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(4, field->height() / 2));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
};

// An address as long as the engine takes loads whole; a longer one is refused with a
// word to the user, never cut to fit.
TEST_F(LongAddress, TheFieldTakesTheEnginesLimitAndRefusesALongerAddress)
{
    frmWeb *window = openWindow(env.writeFile("pages/start.html", "<title>Start</title>"), "Start");
    ASSERT_NE(window, nullptr);
    const QString page = QUrl::fromLocalFile(env.writeFile("pages/dlouha.html", "<title>Dlouhá</title><p>x</p>")).toString();
    const QString longest = page + '#' + QString(kLongestAddress - page.size() - 1, QLatin1Char('a'));
    ScriptedMessageBoxes boxes;

    pasteAddress(longest);
    ASSERT_TRUE(waitFor([&] { return window->windowTitle() == "Dlouhá" && !window->Web->Busy(); }, 30000));
    EXPECT_EQ(window->Web->LocationURL().size(), kLongestAddress) << "the address was cut";
    EXPECT_TRUE(boxes.shown.isEmpty());

    pasteAddress(longest + 'b');
    EXPECT_EQ(main->txtAddress->currentText().size(), kLongestAddress + 1) << "the field cut the address";
    ASSERT_TRUE(waitFor([&] { return !boxes.shown.isEmpty(); }, 30000)) << "the address was not refused";
    EXPECT_EQ(boxes.shown[0].prompt, QStringLiteral("Adresa je příliš dlouhá. Program otevře adresu nejvýše o 2\u00A0097\u00A0152 znacích."));
    QTest::qWait(500);
    EXPECT_EQ(window->Web->LocationURL().size(), kLongestAddress);
    EXPECT_FALSE(window->Web->Busy());
}

} // namespace
