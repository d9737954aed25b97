#include "platform/controls/ButtonMenu.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/Toolbar.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QIcon square(const QColor &colour)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

// The window buttons of the bottom bar, too many for the room they get, at the bottom
// edge of the screen.
class ToolbarChevron : public ::testing::Test
{
protected:
    void SetUp() override
    {
        images.setImageSize(QSize(24, 24));
        for (const char *key : {"winprev", "winnext", "newwin", "background", "closewin"})
            images.add(QString::fromLatin1(key), square(Qt::darkCyan));
        bar.setImageList(&images);
        bar.addButton(QStringLiteral("prev"), {}, ButtonStyle::Default, QStringLiteral("winprev"))
            .setToolTip(QStringLiteral("Zobrazit předchozí okno"));
        bar.addButton(QStringLiteral("next"), {}, ButtonStyle::Default, QStringLiteral("winnext"))
            .setToolTip(QStringLiteral("Zobrazit následující okno"));
        bar.addButton(QStringLiteral("new"), QStringLiteral("Nové"), ButtonStyle::DropDown, QStringLiteral("newwin"));
        bar.button(QStringLiteral("new")).menu().addItem(QStringLiteral("blank"), QStringLiteral("Prázdné"));
        bar.addButton(QStringLiteral("background"), {}, ButtonStyle::Check, QStringLiteral("background"))
            .setToolTip(QStringLiteral("Otevírat nová okna z odkazu na pozadí"));
        bar.addButton({}, {}, ButtonStyle::Separator);
        bar.addButton(QStringLiteral("closewin"), {}, ButtonStyle::Default, QStringLiteral("closewin"))
            .setToolTip(QStringLiteral("Zavřít aktuální okno"));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        bar.setGeometry(screen.left(), screen.bottom() - 40, 100, 40);
        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    }

    QToolButton *chevron() const
    {
        for (QToolButton *button : bar.findChildren<QToolButton *>()) {
            bool ours = false;
            for (int i = 1; i <= bar.count(); ++i)
                ours = ours || bar.button(i).widget() == button;
            if (!ours)
                return button;
        }
        return nullptr;
    }

    // Clicks the chevron and hands the pop-up it opens to the check, then closes it.
    void withChevronMenu(const std::function<void(QMenu *)> &check)
    {
        QToolButton *button = chevron();
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isVisible());
        bool checked = false;
        QTimer::singleShot(0, [&] {
            QMenu *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            check(menu);
            checked = true;
            if (menu)
                menu->close();
        });
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return checked; }, 5000));
    }

    static QStringList entries(const QMenu *menu)
    {
        QStringList texts;
        for (QAction *action : menu->actions())
            if (action->isVisible() && !action->isSeparator())
                texts << action->text();
        return texts;
    }

    ImageList images;
    Toolbar bar;
};

} // namespace

TEST_F(ToolbarChevron, OpensAVisibleListOfTheHiddenButtonsOnScreen)
{
    QStringList hidden;
    for (int i = 1; i <= bar.count(); ++i) {
        const ToolbarButton &button = bar.button(i);
        if (button.widget() && !button.widget()->isVisible())
            hidden << (button.caption().isEmpty() ? button.toolTip() : button.caption());
    }
    ASSERT_FALSE(hidden.isEmpty()) << "the toolbar has room for every button";

    withChevronMenu([&](QMenu *menu) {
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->isVisible());
        EXPECT_EQ(entries(menu).join(QLatin1Char('|')).toStdString(), hidden.join(QLatin1Char('|')).toStdString());
        EXPECT_TRUE(menu->screen()->geometry().contains(menu->geometry())) << "the list is cut off by the screen edge";
    });
}

TEST_F(ToolbarChevron, AnEntryActsAsItsButton)
{
    QSignalSpy clicked(&bar, &Toolbar::buttonClicked);
    QSignalSpy chosen(&bar, &Toolbar::buttonMenuClicked);
    withChevronMenu([&](QMenu *menu) {
        ASSERT_NE(menu, nullptr);
        for (QAction *action : menu->actions()) {
            if (action->text() == QStringLiteral("Otevírat nová okna z odkazu na pozadí")) {
                EXPECT_TRUE(action->isCheckable());
                action->trigger();
            } else if (action->text() == QStringLiteral("Nové")) {
                ASSERT_NE(action->menu(), nullptr) << "a drop-down button offers its list";
                action->menu()->actions().first()->trigger();
            }
        }
    });
    EXPECT_EQ(bar.button(QStringLiteral("background")).value(), 1);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked[0][0].toString(), QStringLiteral("background"));
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][1].toString(), QStringLiteral("blank"));

    // The pressed state shows in the list too.
    withChevronMenu([&](QMenu *menu) {
        ASSERT_NE(menu, nullptr);
        for (QAction *action : menu->actions()) {
            if (action->text() == QStringLiteral("Otevírat nová okna z odkazu na pozadí")) {
                EXPECT_TRUE(action->isChecked());
            }
        }
    });
}
