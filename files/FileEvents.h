#pragma once

#include <QObject>

// What the file manager's commands and dialogs report to the main window, which
// listens; one instance for the run.
class FileEvents : public QObject
{
    Q_OBJECT

public:
    static FileEvents &instance();

signals:
    // A move command ended (whatever its outcome): the views drop what no longer
    // exists, and the browser shows what the tree selects now.
    void moveEnded();
    // A file was deleted: its node and its search result go.
    void fileRemoved(const QString &path);
    // A file manager dialog closed: the keyboard goes back to the main panel.
    void dialogClosed();
};
