#include "files/frmQ.h"

#include "core/OptionsSettings.h"
#include "core/SharedState.h"
#include "files/FileEvents.h"
#include "platform/controls/DialogButtons.h"
#include "platform/controls/Forms.h"
#include "platform/controls/MessageBox.h"
#include "platform/system/ErrorState.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

frmQ::frmQ()
{
    setObjectName(QStringLiteral("frmQ"));
    setWindowTitle(QStringLiteral("Dotaz"));
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    lblQ = new QLabel(QStringLiteral("Tato klávesová zkratka přesune automaticky soubor do přednastavené cesty bez "
                                     "dalšího dotazování. Chcete soubor opravdu přesunout?"),
                      this);
    lblQ->setObjectName(QStringLiteral("lblQ"));
    lblQ->setWordWrap(true);
    lblQ->setMinimumWidth(320);
    chkNA = new QCheckBox(QStringLiteral("Tento dotaz příště nezobrazovat"), this);
    chkNA->setObjectName(QStringLiteral("chkNA"));
    chkNA->setToolTip(QStringLiteral("Do not ask me this again!"));
    cmdYes = new QPushButton(QStringLiteral("&Ano"), this);
    cmdYes->setObjectName(QStringLiteral("cmdYes"));
    cmdYes->setDefault(true);
    cmdNo = new QPushButton(QStringLiteral("&Ne"), this);
    cmdNo->setObjectName(QStringLiteral("cmdNo"));
    cmdNo->setAutoDefault(false);
    enterPressesFocusedButton(this);

    auto *question = new QHBoxLayout;
    question->addWidget(Image1, 0, Qt::AlignTop);
    question->addWidget(lblQ, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(chkNA, 1);
    buttons->addWidget(cmdYes);
    buttons->addWidget(cmdNo);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(question);
    layout->addLayout(buttons);

    connect(cmdYes, &QPushButton::clicked, this, &frmQ::cmdYes_Click);
    connect(cmdNo, &QPushButton::clicked, this, &frmQ::cmdNo_Click);
    connect(chkNA, &QCheckBox::clicked, this, &frmQ::chkNA_Click);
}

void frmQ::cmdYes_Click()
{
    IgnoreErrors ignore;
    if (chkNA->isChecked()) {
        SharedState &s = shared();
        if (QuestionOp == 3) {
            s.NotWarnQCopy = true;
            ignore([] { OptionsSettings::NotWarnQCopy.save(true); });
        } else if (QuestionOp == 4) {
            s.NotWarnQMove = true;
            ignore([] { OptionsSettings::NotWarnQMove.save(true); });
        }
    }
    finish(true);
}

void frmQ::cmdNo_Click()
{
    finish(false);
}

void frmQ::chkNA_Click()
{
    cmdNo->setEnabled(!chkNA->isChecked());
}

void frmQ::reject()
{
    if (cmdNo->isEnabled())
        cmdNo_Click();
}

void frmQ::finish(bool answer)
{
    Answer = answer;
    m_answered = true;
    hide();
    emit FileEvents::instance().dialogClosed();
    if (Forms::slot<frmQ>() == this)
        Forms::unload<frmQ>();
    QDialog::done(answer ? Accepted : Rejected);
}

void frmQ::closeEvent(QCloseEvent *event)
{
    // Closed by its window frame, or unloaded with the main window, without a button:
    // that is no consent, whatever the previous question was answered, and it closes
    // even while No is disabled.
    if (!m_answered)
        finish(false);
    event->accept();
}

void frmQ::showModal(QWidget *owner)
{
    if (DialogLoops::ending()) {
        Forms::unload<frmQ>();
        return;
    }
    if (owner && parentWidget() != owner)
        setParent(owner, windowFlags());
    setModal(true);
    exec();
}

bool frmQ::ask(int questionOp, const QString &question, QWidget *owner)
{
    QPointer<frmQ> dialog = Forms::get<frmQ>();
    dialog->QuestionOp = questionOp;
    dialog->lblQ->setText(question);
    dialog->showModal(owner);
    return dialog && dialog->Answer;
}
