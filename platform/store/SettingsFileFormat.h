#pragma once

#include <QSettings>
#include <QString>

// The settings file: INI sections of "key=value" lines, read and written for
// QSettings as a registered format. QSettings' own INI writer leaves a truncated
// file behind, and reports success, when the disk fills up in the middle of a
// save: its buffered output is only flushed after it decided to commit. The
// writer here flushes and checks before QSettings commits, so a failed save leaves
// the old file in place.
//
//   [Options\QCopy]
//   1=/home/user/Documents
//   Caption1=Dokumenty
//
// Values are kept exactly: "\" is written "\\", line breaks "\n" / "\r", other
// control characters "\xHH"; nothing around the "=" is trimmed. Names escape the
// characters that would break the line structure as "%HH".
class SettingsFileFormat
{
public:
    static QSettings::Format format();

    // A section or key name as QSettings is given it. QSettings reads "/" as group
    // nesting (and "\" too, on some platforms); a section such as "Options\QCopy" is
    // a flat name of its own.
    static QString storedName(const QString &name);
    static QString plainName(const QString &stored);

    static bool read(QIODevice &device, QSettings::SettingsMap &map);
    static bool write(QIODevice &device, const QSettings::SettingsMap &map);
    // The errno of the last write that failed here, 0 when none did; cleared by reading.
    static int takeWriteError();
};
