#include "core/ErrorLog.h"

#include "core/SharedState.h"
#include "platform/system/ErrorState.h"
#include "platform/store/SettingsStore.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>

#include <cstdio>

namespace {

QString contextText(const QVariant &context)
{
    if (!context.isValid())
        return {};
    if (context.typeId() == QMetaType::Bool)
        return settingText(context);
    return context.toString();
}

QString localTimeText(const QDateTime &when)
{
    const QLocale locale = QLocale::system();
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + locale.toString(when.time(), QLocale::LongFormat);
}

// Nothing here may fail towards the caller. A line the file cannot take goes to
// standard error, so that the failure it reports is not lost with the folder.
void appendLine(const QString &line)
{
    // Without a program folder the file would land in whatever the working folder is.
    if (!shared().AppFolder.isEmpty()) {
        QFile file(shared().AppFolder + QStringLiteral("LogError.txt"));
        const QByteArray bytes = (line + QStringLiteral("\r\n")).toUtf8();
        // Unbuffered, so that a full disk shows in the write itself.
        if (file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered) && file.write(bytes) == bytes.size())
            return;
    }
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace

QString errorLogLine(const QDateTime &when, const ErrorInfo &error, const QString &procedure,
                     const QVariant &context)
{
    const QStringList fields = {
        localTimeText(when),
        error.description,
        QString::number(error.lastDllError),
        QString::number(error.number),
        error.source,
        procedure,
        contextText(context),
    };
    return fields.join(QLatin1Char(';'));
}

void LogError(const QString &procedure, const QVariant &context)
{
    // Copied first: writing the file may itself disturb the error state.
    const ErrorInfo error = ErrorState::current();
    runIgnoringErrors([&] { appendLine(errorLogLine(QDateTime::currentDateTime(), error, procedure, context)); });
    ErrorState::clear();
}
