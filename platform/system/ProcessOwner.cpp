#include "platform/system/ProcessOwner.h"

#include <QFile>
#include <QList>
#include <QRandomGenerator>

#include <unistd.h>

namespace {

// The start of the boot's identity: another boot numbers its processes anew.
QByteArray bootTag()
{
    static const QByteArray boot = [] {
        QFile file(QStringLiteral("/proc/sys/kernel/random/boot_id"));
        QByteArray id = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
        id.replace('-', "");
        return id.left(8).toLower();
    }();
    return boot;
}

// When the process started, in clock ticks since the boot (the field after the
// command name's closing parenthesis, the 22nd of the line): with the process id it
// names one process, whatever id the system reuses later. Empty when it is gone.
QByteArray startOf(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = file.readAll();
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return {};
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // After the name: state (3rd field) ... starttime (22nd) is the 20th here.
    return fields.size() > 19 ? fields.at(19) : QByteArray();
}

} // namespace

namespace ProcessOwner {

QByteArray tag()
{
    // Asked again in a child the process forks: the child is a process of its own.
    thread_local qint64 pid = 0;
    thread_local QByteArray own;
    if (pid != ::getpid()) {
        pid = ::getpid();
        own = bootTag() + '.' + QByteArray::number(pid) + '.' + startOf(pid);
    }
    return own;
}

State stateOf(const QByteArray &tag)
{
    const QList<QByteArray> parts = tag.split('.');
    if (parts.size() != 3 || parts[0].size() != 8 || parts[2].isEmpty())
        return State::Unknown;
    bool pidOk = false, startOk = false;
    const qint64 pid = parts[1].toLongLong(&pidOk);
    parts[2].toULongLong(&startOk);
    if (!pidOk || !startOk || pid <= 0)
        return State::Unknown;
    if (parts[0] != bootTag())
        return State::Gone;
    return startOf(pid) == parts[2] ? State::Running : State::Gone;
}

QByteArray temporaryName(const QByteArray &prefix, const QByteArray &suffix)
{
    // Plain characters only, so that a disk that refuses some names takes it.
    return prefix + tag() + '-' + QByteArray::number(QRandomGenerator::system()->generate64(), 36) + suffix;
}

State stateOfName(const QByteArray &name, const QByteArray &prefix)
{
    if (!name.startsWith(prefix))
        return State::Unknown;
    const QByteArray rest = name.mid(prefix.size());
    const qsizetype dash = rest.indexOf('-');
    return dash > 0 ? stateOf(rest.left(dash)) : State::Unknown;
}

} // namespace ProcessOwner
