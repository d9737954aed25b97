#pragma once

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

// The one-line name dialog: the name of a new folder, or another name for a file
// whose target is taken. The caller leaves the pending operation in the shared
// hand-over values (DialogOperation, DialogPath, DialogSourcePath) and shows it.
// A new folder is created by its OK, which stays open while the name is taken. A
// copy, a move or a saved page under another name is tried once the showing has
// ended, and asks again by showing the dialog afresh: one dialog never runs inside
// its own showing.
class frmTextLine : public QDialog
{
    Q_OBJECT

public:
    explicit frmTextLine(QWidget *parent = nullptr);

    QLabel *lblLabel = nullptr;
    QLineEdit *txtText = nullptr;
    // Members 5 ("&Nápověda"), 6 ("&Storno") and 7 ("&OK").
    std::array<QPushButton *, 8> cmdNav{};

    void cmdNav_Click(int Index);

    // Shows the dialog modally over the owner; true when OK ended it. A page saved
    // under another name is saved before this returns.
    bool showModal(QWidget *owner);
    // The typed name, made a file name, in the folder of the taken target.
    QString siblingPath() const;

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void newFolderOk(const QString &name);
};
