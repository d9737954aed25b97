#pragma once

#include <QByteArray>
#include <QString>

// Writes the bytes to a temporary file beside the target and puts it in place only
// when every byte reached the disk, so a failure leaves the old file, or none, never
// a cut-off one. Raises "Path/File access error" (its source: the path) on failure.
void writeFileAtomically(const QString &path, const QByteArray &bytes);
