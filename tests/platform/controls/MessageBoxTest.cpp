#include "platform/controls/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// The real boxes over the toolkit, driven from inside their own event loops.
class RealMessageBoxes : public ::testing::Test
{
protected:
    // Runs the action on the dialog once it shows; gives up when none shows for a while.
    static void onDialog(std::function<void(QDialog *)> action)
    {
        auto *poll = new QTimer(qApp);
        poll->setInterval(10);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, action, ticks = 0]() mutable {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog && ++ticks < 500)
                return;
            poll->deleteLater();
            if (dialog)
                action(dialog);
        });
        poll->start();
    }

    // Clicks the button with that caption; without one the dialog is cancelled.
    static void click(QDialog *dialog, const QString &text)
    {
        for (QAbstractButton *candidate : dialog->findChildren<QAbstractButton *>()) {
            if (candidate->text() == text) {
                QTest::mouseClick(candidate, Qt::LeftButton);
                return;
            }
        }
        ADD_FAILURE() << "no button " << text.toStdString();
        dialog->reject();
    }

    static QStringList buttonTexts(QDialog *dialog)
    {
        QStringList texts;
        for (QAbstractButton *candidate : dialog->findChild<QDialogButtonBox *>()->buttons())
            texts.append(candidate->text());
        texts.sort();
        return texts;
    }
};

TEST_F(RealMessageBoxes, ButtonsAreCzechAndTheClickedOneAnswers)
{
    QStringList texts;
    QString title;
    onDialog([&](QDialog *dialog) {
        texts = buttonTexts(dialog);
        title = dialog->windowTitle();
        click(dialog, QStringLiteral("&Ne"));
    });
    EXPECT_EQ(MsgBox(QStringLiteral("Opravdu?"), MsgBoxStyle::YesNoCancel | MsgBoxStyle::Question), MsgBoxResult::No);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("&Ano"), QStringLiteral("&Ne"), QStringLiteral("Zrušit")}));
    EXPECT_EQ(title, QStringLiteral("Vorlan"));

    onDialog([&](QDialog *dialog) {
        texts = buttonTexts(dialog);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(MsgBox(QStringLiteral("Znovu?"), MsgBoxStyle::RetryCancel), MsgBoxResult::Cancel);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("&Opakovat"), QStringLiteral("Zrušit")}));
}

TEST_F(RealMessageBoxes, ABoxAskingForTextReturnsWhatWasTypedOnlyWhenAccepted)
{
    MessageBoxRequest request;
    request.prompt = QStringLiteral("Jméno:");
    request.title = QStringLiteral("Dotaz");
    request.style = MsgBoxStyle::OKCancel;
    QString text = QStringLiteral("původní");
    request.text = &text;

    QStringList texts;
    onDialog([&](QDialog *dialog) {
        texts = buttonTexts(dialog);
        QLineEdit *edit = dialog->findChild<QLineEdit *>();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("Jana"));
        click(dialog, QStringLiteral("OK"));
    });
    EXPECT_EQ(showMessageBox(request), MsgBoxResult::OK);
    EXPECT_EQ(text, QStringLiteral("Jana"));
    EXPECT_EQ(texts, (QStringList{QStringLiteral("OK"), QStringLiteral("Zrušit")}));

    onDialog([&](QDialog *dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit *>(), QStringLiteral("xyz"));
        click(dialog, QStringLiteral("Zrušit"));
    });
    EXPECT_EQ(showMessageBox(request), MsgBoxResult::Cancel);
    EXPECT_EQ(text, QStringLiteral("Jana"));
}

TEST_F(RealMessageBoxes, ABoxClosesWhenItsOwnerOrParentGoesAndReturnsSafely)
{
    auto owner = std::make_unique<QObject>();
    MessageBoxRequest request;
    request.prompt = QStringLiteral("Smazat?");
    request.style = MsgBoxStyle::YesNo;
    request.owner = owner.get();
    onDialog([&](QDialog *) { owner.reset(); });
    EXPECT_EQ(showMessageBox(request), MsgBoxResult::No);

    // A box over a window that is deleted while the box runs.
    auto *window = new QWidget;
    window->show();
    onDialog([&](QDialog *) { delete window; });
    EXPECT_EQ(MsgBox(QStringLiteral("Pryč"), MsgBoxStyle::OKCancel, {}, window), MsgBoxResult::Cancel);
}

// The window manager draws the title in bold beside its icon and buttons; a box is at
// least that wide, whatever its message.
TEST_F(RealMessageBoxes, ABoxIsWideEnoughForItsWholeTitle)
{
    QFont bold = QApplication::font("QMdiSubWindowTitleBar");
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    for (const QString &title : {QStringLiteral("Uživatelská chyba"), QStringLiteral("Otázka ze stránky file:///home/uzivatel/Dokumenty")}) {
        SCOPED_TRACE(title.toStdString());
        int width = 0;
        onDialog([&](QDialog *dialog) {
            width = dialog->width();
            dialog->reject();
        });
        MsgBox(QStringLiteral("Cílová cesta neexistuje."), MsgBoxStyle::Critical, title);
        EXPECT_GE(width, metrics.horizontalAdvance(title) + 4 * metrics.height());

        MessageBoxRequest request;
        request.prompt = QStringLiteral("Jméno:");
        request.title = title;
        QString text;
        request.text = &text;
        onDialog([&](QDialog *dialog) {
            width = dialog->width();
            dialog->reject();
        });
        showMessageBox(request);
        EXPECT_GE(width, metrics.horizontalAdvance(title) + 4 * metrics.height());
    }
}

} // namespace
