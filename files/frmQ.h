#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// The confirmation asked before a quick copy (QuestionOp 3) or quick move (4) started
// from the keypad. Yes with "Tento dotaz příště nezobrazovat" ticked stops that one
// question for good. Every showing starts from a fresh load (Forms::get<frmQ>()); a
// button or the window's close box unloads it.
class frmQ : public QDialog
{
    Q_OBJECT

public:
    frmQ();

    int QuestionOp = 0;
    bool Answer = false;

    QLabel *Image1 = nullptr;
    QLabel *lblQ = nullptr;
    QCheckBox *chkNA = nullptr;
    QPushButton *cmdYes = nullptr;
    QPushButton *cmdNo = nullptr;

    void cmdYes_Click();
    void cmdNo_Click();
    void chkNA_Click();

    // Shows the dialog modally over the owner; returns once it has closed. Nothing is
    // shown while the program is ending.
    void showModal(QWidget *owner);

    // Sets the question, shows it and returns the answer; No when the program is ending.
    static bool ask(int questionOp, const QString &question, QWidget *owner);

public slots:
    // Esc is No, but not while No is disabled.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void finish(bool answer);

    bool m_answered = false;
};
