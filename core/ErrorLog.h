#pragma once

#include <QString>
#include <QVariant>

class QDateTime;
struct ErrorInfo;

// Appends one line describing the current error to LogError.txt in the program folder
// and clears the error. Never fails towards its caller and shows nothing; a line the
// file cannot take is written to standard error instead.
void LogError(const QString &procedure, const QVariant &context = QVariant());

// The seven-field line (without its CR LF) for the given moment and error: time by the
// system locale (short date, a blank, long time), description, last DLL error, number,
// source, procedure and context, joined by ";" with nothing escaped.
QString errorLogLine(const QDateTime &when, const ErrorInfo &error, const QString &procedure,
                     const QVariant &context);
