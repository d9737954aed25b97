#include "TestEnvironment.h"

#include "core/SharedState.h"
#include "platform/system/ErrorState.h"
#include "platform/store/TestHooks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
const char *const kVariables[4] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"};
}

TestEnvironment::TestEnvironment()
{
    for (int i = 0; i < 4; ++i) {
        m_had[i] = qEnvironmentVariableIsSet(kVariables[i]);
        m_saved[i] = qgetenv(kVariables[i]);
    }
    QDir(root()).mkpath(QStringLiteral("home"));
    QDir(root()).mkpath(QStringLiteral("home/.config"));
    QDir(root()).mkpath(QStringLiteral("home/.local/share"));
    QDir(root()).mkpath(QStringLiteral("home/.cache"));
    qputenv("HOME", home().toUtf8());
    qputenv("XDG_CONFIG_HOME", configHome().toUtf8());
    qputenv("XDG_DATA_HOME", dataHome().toUtf8());
    qputenv("XDG_CACHE_HOME", (home() + QStringLiteral("/.cache")).toUtf8());
    resetSharedState();
    ErrorState::clear();
    ErrorState::setLastDllError(0);
    resetPlatformForTests();
    shared().AppFolder = appFolder();
    shared().AppDir = appFolder();
    QDir().mkpath(appFolder());
}

TestEnvironment::~TestEnvironment()
{
    resetPlatformForTests();
    resetSharedState();
    ErrorState::clear();
    for (int i = 0; i < 4; ++i) {
        if (m_had[i])
            qputenv(kVariables[i], m_saved[i]);
        else
            qunsetenv(kVariables[i]);
    }
}

QString TestEnvironment::home() const
{
    return root() + QStringLiteral("/home");
}

QString TestEnvironment::configHome() const
{
    return home() + QStringLiteral("/.config");
}

QString TestEnvironment::dataHome() const
{
    return home() + QStringLiteral("/.local/share");
}

QString TestEnvironment::appFolder() const
{
    return dataHome() + QStringLiteral("/Vorlan/");
}

QString TestEnvironment::path(const QString &relative) const
{
    const QString full = root() + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(full).path());
    return full;
}

QString TestEnvironment::writeFile(const QString &relative, const QByteArray &bytes) const
{
    const QString full = path(relative);
    QFile file(full);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ADD_FAILURE() << "cannot write " << full.toStdString();
    file.write(bytes);
    return full;
}

QByteArray TestEnvironment::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void TestEnvironment::replaceFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        ADD_FAILURE() << "cannot replace " << path.toStdString();
}

QStringList TestEnvironment::logLines() const
{
    return QString::fromUtf8(readFile(appFolder() + QStringLiteral("LogError.txt")))
        .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

bool TestEnvironment::logHoldsOnlyTheFirstStartLine() const
{
    const QStringList lines = logLines();
    return lines.isEmpty() || (lines.size() == 1 && lines[0].contains(QStringLiteral(";LoadSettings;")));
}
