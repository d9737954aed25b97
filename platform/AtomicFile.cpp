#include "platform/AtomicFile.h"

#include "platform/ErrorState.h"

#include <QSaveFile>

void writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Unbuffered, so a failing write is seen here and never committed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        raiseError(ErrorNumber::PathFileAccessError, {}, path);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        raiseError(ErrorNumber::PathFileAccessError, {}, path);
    }
    if (!file.commit())
        raiseError(ErrorNumber::PathFileAccessError, {}, path);
}
