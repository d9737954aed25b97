#include "app/AddFavoriteDialog.h"

#include "browser/FavoriteShortcut.h"
#include "core/PathServices.h"
#include "core/SharedState.h"
#include "platform/store/AtomicFile.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/MessageBox.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

AddFavoriteDialog::AddFavoriteDialog(const QString &url, const QString &name, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AddFavoriteDialog"));
    setWindowTitle(QStringLiteral("Přidat k oblíbeným"));
    txtName = new QLineEdit(name, this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->selectAll();
    auto *address = new QLabel(url, this);
    address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    address->setWordWrap(true);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Název:"), txtName);
    form->addRow(QStringLiteral("Adresa:"), address);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Storno"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(buttons);
    resize(420, sizeHint().height());
}

QString AddFavoriteDialog::name() const
{
    return txtName->text();
}

QString favoriteFileName(const QString &name)
{
    QString safe = name.trimmed();
    SanitizeFileName(safe);
    // A name of dots alone would address the folder itself or its parent.
    if (safe.isEmpty() || safe.count(QLatin1Char('.')) == safe.size())
        safe = QStringLiteral("Bez názvu");
    return safe + QStringLiteral(".url");
}

void writeFavoriteFile(const QString &path, const QString &url)
{
    writeFileAtomically(path, shortcutFileContent(url));
}

namespace {

bool confirmReplace(const QString &fileName, QWidget *parent)
{
    const QString prompt = QStringLiteral("Oblíbená položka „%1“ již existuje. Chcete ji nahradit?").arg(fileName);
    return MsgBox(prompt, MsgBoxStyle::YesNo | MsgBoxStyle::Question | MsgBoxStyle::DefaultButton2, QString(), parent)
        == MsgBoxResult::Yes;
}

} // namespace

QString AddFavorite(const QString &url, const QString &title, QWidget *parent)
{
    const QString folder = shared().FavoritesDir;
    if (folder.isEmpty() || !QDir().mkpath(folder))
        raiseError(ErrorNumber::PathNotFound);
    AddFavoriteDialog dialog(url, title, parent);
    while (dialog.exec() == QDialog::Accepted) {
        const QString fileName = favoriteFileName(dialog.name());
        const QString path = QDir(folder).filePath(fileName);
        if (QFileInfo::exists(path) && !confirmReplace(fileName, parent))
            continue;
        writeFavoriteFile(path, url);
        return path;
    }
    return QString();
}
