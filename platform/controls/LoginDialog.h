#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

// What a login question names and what the user answered.
struct LoginRequest
{
    QString server;      // the host, with its port when it has one
    QString realm;       // the server's name for the protected part, may be ""
    bool proxy = false;  // the question comes from the proxy, not from the site
    QWidget *parent = nullptr;
    QString user;        // filled in when the user answers OK
    QString password;
};

// The program's own login dialog: the server and its realm named, a user name and a
// password, "OK" and "Zrušit". Modal to its parent's window only.
class LoginDialog : public QDialog
{
    Q_OBJECT

public:
    explicit LoginDialog(const LoginRequest &request);

    QString user() const;
    QString password() const;

    // The question a request asks, in Czech.
    static QString questionText(const LoginRequest &request);

    // Shows the dialog and waits; true with the user name and password filled in when
    // the user answered OK. False at once while the program is ending.
    static bool ask(LoginRequest &request);

private:
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
};
