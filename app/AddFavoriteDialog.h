#pragma once

#include <QDialog>

class QLineEdit;

// Asks for the name under which the page goes into the Favorites folder.
class AddFavoriteDialog : public QDialog
{
    Q_OBJECT

public:
    AddFavoriteDialog(const QString &url, const QString &name, QWidget *parent = nullptr);

    QString name() const;

    QLineEdit *txtName = nullptr;
};

// The file name of a favorite: the name made safe for a file system, with ".url".
QString favoriteFileName(const QString &name);

// Writes a favorites file for the address; raises PathFileAccessError when it cannot.
void writeFavoriteFile(const QString &path, const QString &url);

// Adds a favorite for the address: proposes the title as its name, asks before
// replacing a favorite of the same name, and writes it into the Favorites folder.
// Returns the path written, or "" when the user cancelled.
QString AddFavorite(const QString &url, const QString &title, QWidget *parent = nullptr);
