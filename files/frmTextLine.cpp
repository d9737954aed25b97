#include "files/frmTextLine.h"

#include "core/FilesHost.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "files/CheckedFileOps.h"
#include "files/FileEvents.h"
#include "platform/controls/DialogButtons.h"
#include "platform/controls/MessageBox.h"
#include "platform/files/FileNames.h"
#include "platform/system/ErrorState.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmTextLine::frmTextLine(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTextLine"));
    setWindowTitle(QStringLiteral("Textové okno"));
    lblLabel = new QLabel(this);
    lblLabel->setObjectName(QStringLiteral("lblLabel"));
    lblLabel->setWordWrap(true);
    txtText = new QLineEdit(this);
    txtText->setObjectName(QStringLiteral("txtText"));

    const struct { int index; const char *caption; } buttons[] = {{7, "&OK"}, {6, "&Storno"}, {5, "&Nápověda"}};
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (const auto &button : buttons) {
        QPushButton *cmd = new QPushButton(QString::fromUtf8(button.caption), this);
        cmd->setObjectName(QStringLiteral("cmdNav%1").arg(button.index));
        cmd->setAutoDefault(false);
        cmdNav[button.index] = cmd;
        row->addWidget(cmd);
        connect(cmd, &QPushButton::clicked, this, [this, index = button.index] { cmdNav_Click(index); });
    }
    cmdNav[7]->setDefault(true);
    enterPressesFocusedButton(this);

    auto *column = new QVBoxLayout(this);
    column->addWidget(lblLabel);
    column->addWidget(txtText);
    column->addLayout(row);
    resize(400, sizeHint().height());
}

void frmTextLine::cmdNav_Click(int Index)
{
    if (Index == 6) {
        reject();
        return;
    }
    if (Index != 7)
        return;
    IgnoreErrors ignore;
    switch (shared().DialogOperation) {
    case 2:
        newFolderOk(txtText->text());
        break;
    case 3:
    case 4:
    case 5:
        accept();
        break;
    default:
        break;
    }
}

bool frmTextLine::showModal(QWidget *owner)
{
    if (DialogLoops::ending())
        return false;
    if (owner && parentWidget() != owner)
        setParent(owner, windowFlags());
    setModal(true);
    const bool ok = exec() == QDialog::Accepted;
    if (ok && shared().DialogOperation == 5) {
        const QString sibling = siblingPath();
        runIgnoringErrors([&] {
            if (FilesHost *host = FilesHost::current())
                host->SavePageAsHtml(sibling);
        });
    }
    return ok;
}

QString frmTextLine::siblingPath() const
{
    // A "/" typed into a name would reach into another folder.
    QString name = typedFileName(txtText->text());
    SanitizeFileName(name);
    const QString folder = GetParentPath(shared().DialogPath);
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

void frmTextLine::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    lblLabel->setToolTip(lblLabel->text());
    txtText->setFocus();
    txtText->selectAll();
}

void frmTextLine::done(int result)
{
    QDialog::done(result);
    emit FileEvents::instance().dialogClosed();
}

void frmTextLine::newFolderOk(const QString &name)
{
    SharedState &s = shared();
    const FileOpResult result = MakeFolder(s.DialogPath, name);
    if (result.code != FileOpCode::TargetExists) {
        ShowFileOpMessage(result, QString(), this);
        accept();
        return;
    }
    s.DialogSourcePath = name;
    setWindowTitle(FileOpMessage(result, s.DialogPath + name, true));
    lblLabel->setText(QStringLiteral("Zvolte jiné jméno."));
    lblLabel->setToolTip(lblLabel->text());
    ShowFileOpMessage(result, s.DialogPath + name, this, true);
    txtText->setFocus();
    txtText->selectAll();
}
