// A process saving settings and registry values is killed at random moments; every
// kill must leave each file readable with either the value before or the value being
// saved, and the next process must save at once.

#include "CrashPayload.h"

#include "platform/system/ErrorState.h"
#include "platform/store/Registry.h"
#include "platform/store/SettingsStore.h"

#include "TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <csignal>
#include <set>

namespace {

constexpr int kKills = 200;
// A save normally takes milliseconds, even on a busy machine; waiting out a stale
// lock takes half a minute.
constexpr int kOpenDeadlineMs = 5000;
constexpr int kMaxStalls = 3;

struct Stored
{
    std::optional<qint64> settings;
    std::optional<qint64> registry;
};

// Reads both files afresh, as the next start of the program would.
Stored readStores()
{
    Stored stored;
    SettingsStore::resetInstance();
    stored.settings = crashPayloadNumber(GetSetting(kCrashSection, kCrashKey));
    Registry::resetInstance();
    try {
        const std::optional<RegValue> value = Registry::instance().value(RegRoot::CurrentUser, kCrashSubKey, kCrashKey);
        if (value && value->type == RegType::String && value->data.endsWith('\0'))
            stored.registry = crashPayloadNumber(QString::fromUtf8(value->data.chopped(1)));
    } catch (const RuntimeError &error) {
        ADD_FAILURE() << "the registry file cannot be read: " << error.what();
    }
    return stored;
}

QString describe(const std::optional<qint64> &number)
{
    return number ? QString::number(*number) : QStringLiteral("no complete value");
}

QStringList lockFiles(const QString &folder)
{
    QStringList found;
    for (const QFileInfo &file : QDir(folder).entryInfoList({QStringLiteral("*.lock")}, QDir::Files | QDir::Hidden))
        found << QStringLiteral("%1 (%2 bytes)").arg(file.fileName()).arg(file.size());
    return found;
}

class CrashSafety : public TempEnvTest
{
protected:
    // Starts a saving child and waits for its first complete save; false when it
    // did not come within the deadline (the child is then still running).
    bool startChild(QProcess &child, qint64 first, qint64 &elapsedMs)
    {
        QElapsedTimer timer;
        timer.start();
        child.start(QStringLiteral(CRASH_CHILD), {QString::number(first)});
        EXPECT_TRUE(child.waitForStarted(kOpenDeadlineMs));
        while (!child.canReadLine() && timer.elapsed() < kOpenDeadlineMs && child.state() == QProcess::Running)
            child.waitForReadyRead(kOpenDeadlineMs - int(timer.elapsed()));
        elapsedMs = timer.elapsed();
        return child.canReadLine();
    }

    static void kill(QProcess &child)
    {
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished(5000);
    }

    static std::optional<qint64> lastPrinted(QProcess &child)
    {
        std::optional<qint64> last;
        for (const QByteArray &line : child.readAll().split('\n')) {
            bool ok = false;
            const qint64 number = line.toLongLong(&ok);
            if (ok)
                last = number;
        }
        return last;
    }
};

TEST_F(CrashSafety, KilledSavesLeaveTheOldOrTheNewValueAndTheNextSaveRunsAtOnce)
{
    SaveSetting(kCrashSection, kCrashKey, crashPayload(0));
    Registry::instance().setValue(RegRoot::CurrentUser, kCrashSubKey, kCrashKey,
                                  {RegType::String, crashPayload(0).toUtf8() + '\0'});
    const QString settingsFolder = QFileInfo(SettingsStore::instance().filePath()).path();

    const quint32 seed = qEnvironmentVariableIsSet("VORLAN_CRASH_SEED")
        ? quint32(qEnvironmentVariableIntValue("VORLAN_CRASH_SEED"))
        : QRandomGenerator::global()->generate();
    SCOPED_TRACE("VORLAN_CRASH_SEED=" + std::to_string(seed));
    QRandomGenerator random(seed);

    Stored before = readStores();
    ASSERT_TRUE(before.settings && before.registry);
    int stalls = 0;
    for (int round = 0; round < kKills && stalls < kMaxStalls; ++round) {
        SCOPED_TRACE("kill " + std::to_string(round));
        const qint64 first = std::max(*before.settings, *before.registry) + 1;
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const QStringList locks = lockFiles(settingsFolder);
        if (random.bounded(4) == 0) {
            // Killed while starting or within its first save.
            child.start(QStringLiteral(CRASH_CHILD), {QString::number(first)});
            ASSERT_TRUE(child.waitForStarted(kOpenDeadlineMs));
            QThread::usleep(random.bounded(10000));
        } else if (qint64 openMs = 0; !startChild(child, first, openMs)) {
            ++stalls;
            ADD_FAILURE() << "the first save took longer than " << openMs << " ms; left over from the last kill: "
                          << locks.join(QStringLiteral(", ")).toStdString();
        } else {
            // Killed anywhere within the next few saves.
            QThread::usleep(random.bounded(20000));
        }
        kill(child);

        const std::optional<qint64> printed = lastPrinted(child);
        const Stored after = readStores();
        const std::set<std::optional<qint64>> settingsAllowed =
            printed ? std::set<std::optional<qint64>>{*printed, *printed + 1}
                    : std::set<std::optional<qint64>>{before.settings, first};
        const std::set<std::optional<qint64>> registryAllowed =
            printed ? std::set<std::optional<qint64>>{*printed, *printed + 1}
                    : std::set<std::optional<qint64>>{before.registry, first};
        ASSERT_TRUE(settingsAllowed.count(after.settings))
            << "settings hold " << describe(after.settings).toStdString() << " after value "
            << describe(printed).toStdString() << " was saved";
        ASSERT_TRUE(registryAllowed.count(after.registry))
            << "registry holds " << describe(after.registry).toStdString() << " after value "
            << describe(printed).toStdString() << " was saved";
        before = after;
    }

    // The store opens once more through the same path after the last kill.
    QProcess child;
    qint64 openMs = 0;
    const QStringList locks = lockFiles(settingsFolder);
    EXPECT_TRUE(startChild(child, std::max(*before.settings, *before.registry) + 1, openMs))
        << "the first save after the last kill took " << openMs
        << " ms; left over: " << locks.join(QStringLiteral(", ")).toStdString();
    kill(child);
}

} // namespace
