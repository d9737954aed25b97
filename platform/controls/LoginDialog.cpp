#include "platform/controls/LoginDialog.h"

#include "platform/controls/MessageBox.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

LoginDialog::LoginDialog(const LoginRequest &request)
    : QDialog(request.parent ? request.parent->window() : nullptr)
{
    setObjectName(QStringLiteral("LoginDialog"));
    setWindowTitle(QStringLiteral("Přihlášení"));
    // A page waits for its answer; the program's other windows need not.
    setWindowModality(Qt::WindowModal);

    auto *question = new QLabel(questionText(request), this);
    question->setObjectName(QStringLiteral("lblQuestion"));
    question->setWordWrap(true);
    question->setTextFormat(Qt::PlainText);

    m_user = new QLineEdit(this);
    m_user->setObjectName(QStringLiteral("txtUser"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("&Jméno:"), m_user);
    fields->addRow(QStringLiteral("&Heslo:"), m_password);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Zrušit"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    setMinimumWidth(360);
    m_user->setFocus();
}

QString LoginDialog::user() const
{
    return m_user->text();
}

QString LoginDialog::password() const
{
    return m_password->text();
}

QString LoginDialog::questionText(const LoginRequest &request)
{
    QString text = request.proxy ? QStringLiteral("Proxy server %1 žádá jméno a heslo.").arg(request.server)
                                 : QStringLiteral("Server %1 žádá jméno a heslo.").arg(request.server);
    if (!request.realm.isEmpty())
        text += QStringLiteral("\nServer uvádí: „%1“").arg(request.realm);
    return text;
}

bool LoginDialog::ask(LoginRequest &request)
{
    if (DialogLoops::ending())
        return false;
    // Watched: should the parent window go while the dialog runs, the dialog goes with
    // it and the call returns as cancelled.
    const QPointer<LoginDialog> dialog = new LoginDialog(request);
    const int answer = dialog->exec();
    if (!dialog)
        return false;
    const bool accepted = answer == QDialog::Accepted;
    if (accepted) {
        request.user = dialog->user();
        request.password = dialog->password();
    }
    delete dialog.data();
    return accepted;
}
