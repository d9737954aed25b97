#pragma once

#include <QString>

class QObject;

// Asks whether to delete the file and, on Yes, moves it into the deleted-files store;
// the main window learns of a file that is gone (FileEvents::fileRemoved). A file
// already in the store goes into it again under a new number: alreadyStored changes
// nothing. owner is the control that asked.
void DeleteFileAsk(QObject *owner, const QString &path, bool alreadyStored);
