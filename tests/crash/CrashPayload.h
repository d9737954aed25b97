#pragma once

#include <QString>

#include <optional>

// The values the crash child saves: the number, then filler made from it, long
// enough that a cut-off write shows.
inline const QString kCrashSection = QStringLiteral("Crash");
inline const QString kCrashKey = QStringLiteral("Payload");
inline const QString kCrashSubKey = QStringLiteral("Software\\Vorlan\\Crash");

inline QString crashPayload(qint64 number)
{
    const QString digits = QString::number(number);
    return digits + QLatin1Char(':') + (digits + QLatin1Char('-')).repeated(4000 / (digits.size() + 1));
}

// The number of a complete payload; none for anything else.
inline std::optional<qint64> crashPayloadNumber(const QString &text)
{
    bool ok = false;
    const qint64 number = text.section(QLatin1Char(':'), 0, 0).toLongLong(&ok);
    if (!ok || text != crashPayload(number))
        return std::nullopt;
    return number;
}
