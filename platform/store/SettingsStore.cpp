#include "platform/store/SettingsStore.h"

#include "platform/system/ErrorState.h"
#include "platform/system/FileDescriptors.h"
#include "platform/system/Singleton.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kLockWaitMs = 2000;
// A live instance fills its lock the moment it creates it and releases it within
// moments; a lock that stays unusable this long was left behind.
constexpr int kAbandonedAfterMs = 1000;

enum class LockHolder { None, NotAFile, LiveHere, GoneHere, Unknown };

// One look at the lock: who holds it, judged by what a lock file holds (the
// holder's process id, its program's name and its host), and which file it was.
struct LockSight
{
    LockHolder holder = LockHolder::None;
    dev_t device = 0;
    ino_t inode = 0;
    qint64 changedNs = 0;
    qint64 size = 0;

    bool sameFile(const LockSight &other) const
    {
        return device == other.device && inode == other.inode && changedNs == other.changedNs && size == other.size;
    }
};

LockSight lookAtLock(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (::lstat(name.constData(), &info) != 0)
        return {};
    if (!S_ISREG(info.st_mode))
        return {LockHolder::NotAFile};
    LockSight sight{LockHolder::Unknown, info.st_dev, info.st_ino,
                    qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec, qint64(info.st_size)};
    struct stat opened;
    const int fd = openRegularFile(AT_FDCWD, name.constData(), false, opened);
    if (fd < 0)
        return sight;
    char buffer[4096];
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    const QList<QByteArray> lines = QByteArray(buffer, count > 0 ? qsizetype(count) : 0).split('\n');
    bool isNumber = false;
    const qint64 pid = lines.value(0).trimmed().toLongLong(&isNumber);
    const QByteArray host = lines.value(2).trimmed();
    // A process on another machine cannot be asked about; its lock gets the same
    // short wait as one that cannot be read.
    if (!isNumber || pid <= 0 || pid > std::numeric_limits<pid_t>::max() || lines.size() < 3
        || host != QSysInfo::machineHostName().toUtf8())
        return sight;
    sight.holder = ::kill(pid_t(pid), 0) == 0 || errno == EPERM ? LockHolder::LiveHere : LockHolder::GoneHere;
    return sight;
}

// Removes an abandoned lock unless it was replaced since it was judged.
void removeAbandonedLock(const QString &path, const LockSight &judged)
{
    if (lookAtLock(path).sameFile(judged))
        ::unlink(QFile::encodeName(path).constData());
}

// Text as a person or this program writes it: no NUL (UTF-16 has one in every
// ASCII character) and no control characters but the blanks and line ends.
bool isText(const QByteArray &bytes)
{
    for (const char c : bytes) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r' && u != '\f' && u != '\v')
            return false;
    }
    return true;
}

} // namespace

SettingsStore &SettingsStore::instance()
{
    return Singleton<SettingsStore>::instance();
}

void SettingsStore::resetInstance()
{
    Singleton<SettingsStore>::reset();
}

SettingsStore::SettingsStore()
    : m_path(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
             + QStringLiteral("/Vorlan/Vorlan.conf"))
{
    removeInterruptedSaves(QFileInfo(m_path).path(), QFileInfo(m_path).fileName());
    open();
    setAsideLockIfNotAFile();
}

SettingsStore::~SettingsStore() = default;

void SettingsStore::open()
{
    const FileStamp stamp = stampOf(m_path);
    QString reason;
    int systemError = 0;
    const std::optional<QByteArray> bytes = readWholeFile(m_path, MaxFileSize, reason, systemError);
    if (bytes && isText(*bytes)) {
        m_content = SettingsFileFormat::parse(*bytes);
        m_stamp = stamp;
        return;
    }
    if (!bytes && systemError == ENOENT)
        return;
    if (bytes)
        reason = QStringLiteral("není to textový soubor");
    m_unusable = FileProblem{m_path, reason, moveAside(m_path)};
    // What could not be moved aside is never replaced either.
    if (m_unusable->keptAs.isEmpty())
        m_blockedBy = FileProblem{m_path, reason, {}};
}

std::optional<FileProblem> SettingsStore::takeUnusableFile()
{
    return std::exchange(m_unusable, std::nullopt);
}

std::optional<FileProblem> SettingsStore::unsavedChanges() const
{
    return m_unsaved;
}

QString SettingsStore::filePath() const
{
    return m_path;
}

QString SettingsStore::lockPath() const
{
    return m_path + QStringLiteral(".lock");
}

// Nothing but a regular file is a lock: a pipe would hang whoever reads it, a folder
// could never be removed as a stale lock.
bool SettingsStore::setAsideLockIfNotAFile()
{
    if (lookAtLock(lockPath()).holder != LockHolder::NotAFile)
        return true;
    const QString reason = notRegularFileReason(lockPath());
    const QString keptAs = moveAside(lockPath());
    if (!m_unusable)
        m_unusable = FileProblem{lockPath(), reason.isEmpty() ? QStringLiteral("není to obyčejný soubor") : reason, keptAs};
    return !keptAs.isEmpty();
}

int SettingsStore::takeLock(QString &reason)
{
    // After a wait for another instance ran out, later saves of this run do not
    // wait again: they only look.
    const int patience = m_lockGivenUp.isValid() && m_lockGivenUp.elapsed() < 10000 ? 0 : kLockWaitMs;
    const QByteArray name = QFile::encodeName(lockPath());
    // What a lock file holds: the holder's process id, its program and its host.
    const QByteArray content = QByteArray::number(QCoreApplication::applicationPid()) + '\n'
        + QCoreApplication::applicationName().toUtf8() + '\n' + QSysInfo::machineHostName().toUtf8() + '\n';
    QElapsedTimer waited;
    waited.start();
    LockSight tracked;
    qint64 trackedSince = 0;
    for (;;) {
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            const ssize_t written = ::write(fd, content.constData(), size_t(content.size()));
            const int writeError = written < 0 ? errno : EIO;
            ::close(fd);
            if (written == content.size()) {
                m_lockGivenUp.invalidate();
                return 0;
            }
            ::unlink(name.constData());
            return writeError;
        }
        if (errno != EEXIST)
            return errno;
        const LockSight now = lookAtLock(lockPath());
        if (now.holder == LockHolder::NotAFile) {
            if (!setAsideLockIfNotAFile()) {
                reason = QStringLiteral("zámek „%1“ není obyčejný soubor a nelze ho odložit").arg(lockPath());
                return EEXIST;
            }
            continue;
        }
        if (!now.sameFile(tracked)) {
            tracked = now;
            trackedSince = waited.elapsed();
        }
        if (now.holder == LockHolder::GoneHere
            || (now.holder == LockHolder::Unknown && waited.elapsed() - trackedSince >= kAbandonedAfterMs)) {
            removeAbandonedLock(lockPath(), now);
            continue;
        }
        if (now.holder == LockHolder::LiveHere && waited.elapsed() >= patience) {
            m_lockGivenUp.start();
            reason = QStringLiteral("právě ho ukládá jiná spuštěná instance programu");
            return EBUSY;
        }
        QThread::msleep(20);
    }
}

std::optional<QString> SettingsStore::stored(const QString &section, const QString &key) const
{
    const auto group = m_content.find(section);
    const SettingsFileFormat::Section::Entry *found = group == m_content.end() ? nullptr : group->second.find(key);
    return found ? std::optional<QString>(found->value().toString()) : std::nullopt;
}

void SettingsStore::put(const QString &section, const QString &key, const std::optional<QString> &value)
{
    if (value) {
        m_content[section].set(key, *value);
        return;
    }
    const auto group = m_content.find(section);
    if (group == m_content.end())
        return;
    group->second.erase(key);
    if (group->second.empty())
        m_content.erase(group);
}

QString SettingsStore::get(const QString &section, const QString &key, const QVariant &defaultValue) const
{
    return stored(section, key).value_or(settingText(defaultValue));
}

bool SettingsStore::contains(const QString &section, const QString &key) const
{
    return stored(section, key).has_value();
}

void SettingsStore::save(const QString &section, const QString &key, const QVariant &value)
{
    if (section.isEmpty() || key.isEmpty())
        raiseError(ErrorNumber::IllegalCall);
    Undo undo{{section, key, stored(section, key)}};
    put(section, key, settingText(value));
    changed(std::move(undo));
}

void SettingsStore::remove(const QString &section, const QString &key)
{
    if (!key.isEmpty()) {
        std::optional<QString> previous = section.isEmpty() ? std::nullopt : stored(section, key);
        if (!previous)
            raiseError(ErrorNumber::IllegalCall);
        Undo undo{{section, key, std::move(previous)}};
        put(section, key, std::nullopt);
        changed(std::move(undo));
        return;
    }
    const auto first = section.isEmpty() ? m_content.begin() : m_content.find(section);
    const auto last = section.isEmpty() || first == m_content.end() ? m_content.end() : std::next(first);
    if (first == last)
        raiseError(ErrorNumber::IllegalCall);
    Undo undo;
    for (auto group = first; group != last; ++group) {
        for (const SettingsFileFormat::Section::Entry &entry : group->second)
            undo.push_back({group->first, entry.key().toString(), entry.value().toString()});
    }
    m_content.erase(first, last);
    changed(std::move(undo));
}

void SettingsStore::changed(Undo undo)
{
    if (!m_batch) {
        commit(undo);
        return;
    }
    for (auto &step : undo)
        m_batchUndo.push_back(std::move(step));
}

void SettingsStore::beginBatch()
{
    m_batch = true;
    m_batchUndo.clear();
}

void SettingsStore::endBatch()
{
    m_batch = false;
    const Undo undo = std::exchange(m_batchUndo, {});
    if (!undo.empty())
        commit(undo);
}

void SettingsStore::failed(int systemError, const QString &reason)
{
    m_unsaved = FileProblem{m_path, reason.isEmpty() ? systemErrorText(systemError) : reason, {}};
    if (!reason.isEmpty())
        raiseError(ErrorNumber::PathFileAccessError, reason, m_path);
    raiseSystemError(ErrorNumber::PathFileAccessError, systemError, m_path);
}

void SettingsStore::commit(const Undo &undo)
{
    QDir().mkpath(QFileInfo(m_path).path());
    QString reason = m_blockedBy ? m_blockedBy->reason : QString();
    int systemError = m_blockedBy ? EEXIST : takeLock(reason);
    if (systemError == 0) {
        std::optional<SettingsFileFormat::Content> before;
        // What another instance saved since this one read the file stays; this
        // change goes on top of it.
        if (stampOf(m_path) != m_stamp) {
            QString unused;
            int readError = 0;
            if (const std::optional<QByteArray> bytes = readWholeFile(m_path, MaxFileSize, unused, readError);
                bytes && isText(*bytes)) {
                SettingsFileFormat::Content merged = SettingsFileFormat::parse(*bytes);
                for (const Change &change : undo) {
                    if (const std::optional<QString> value = stored(change.section, change.key))
                        merged[change.section].set(change.key, *value);
                    else if (const auto group = merged.find(change.section); group != merged.end()) {
                        group->second.erase(change.key);
                        if (group->second.empty())
                            merged.erase(group);
                    }
                }
                before = std::exchange(m_content, std::move(merged));
            }
        }
        try {
            writeFileAtomically(m_path, SettingsFileFormat::serialize(m_content));
            m_stamp = stampOf(m_path);
            m_unsaved.reset();
        } catch (const RuntimeError &error) {
            systemError = error.systemError() != 0 ? error.systemError() : EIO;
            if (before)
                m_content = std::move(*before);
        }
        ::unlink(QFile::encodeName(lockPath()).constData());
        if (systemError == 0)
            return;
        reason = notRegularFileReason(m_path);
    }
    // Backwards, so that a key changed twice gets its first value back.
    for (auto step = undo.rbegin(); step != undo.rend(); ++step)
        put(step->section, step->key, step->previous);
    failed(systemError, reason);
}

QString GetSetting(const QString &section, const QString &key, const QVariant &defaultValue)
{
    return SettingsStore::instance().get(section, key, defaultValue);
}

void SaveSetting(const QString &section, const QString &key, const QVariant &value)
{
    SettingsStore::instance().save(section, key, value);
}

void DeleteSetting(const QString &section, const QString &key)
{
    SettingsStore::instance().remove(section, key);
}

namespace {

enum class NumberText { NotNumber, Number, Overflow };

// Plain decimal notation only; no hexadecimal, no thousands separators, no "inf".
NumberText parseNumber(const QString &text, double &value)
{
    static const QRegularExpression decimal(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (!decimal.match(text).hasMatch())
        return NumberText::NotNumber;
    bool ok = false;
    value = QLocale::c().toDouble(text, &ok);
    return ok && std::isfinite(value) ? NumberText::Number : NumberText::Overflow;
}

} // namespace

QString settingText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType: return {};
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double: return QString::number(value.toDouble(), 'g', 15);
    case QMetaType::Float: return QString::number(value.toFloat(), 'g', 7);
    case QMetaType::QByteArray: return QString::fromUtf8(value.toByteArray());
    default: return value.toString();
    }
}

bool textToBool(const QString &text)
{
    const QString word = text.trimmed();
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    double number = 0;
    switch (parseNumber(word, number)) {
    case NumberText::Number: return number != 0;
    case NumberText::Overflow: return true;
    case NumberText::NotNumber: break;
    }
    raiseError(ErrorNumber::TypeMismatch);
}

int textToInt(const QString &text)
{
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    const QString digits = text.trimmed();
    if (!integer.match(digits).hasMatch())
        raiseError(ErrorNumber::TypeMismatch);
    bool ok = false;
    const qlonglong number = digits.toLongLong(&ok);
    if (!ok || number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        raiseError(ErrorNumber::Overflow);
    return int(number);
}

double textToDouble(const QString &text)
{
    double number = 0;
    switch (parseNumber(text.trimmed(), number)) {
    case NumberText::Number: return number;
    case NumberText::Overflow: raiseError(ErrorNumber::Overflow);
    case NumberText::NotNumber: break;
    }
    raiseError(ErrorNumber::TypeMismatch);
}

QString Setting::text() const
{
    return GetSetting(section, key, defaultValue);
}

bool Setting::toBool() const
{
    return textToBool(text());
}

int Setting::toInt() const
{
    return textToInt(text());
}

void Setting::save(const QVariant &value) const
{
    SaveSetting(section, key, value);
}

int PresetList::sizeOf(const QString &section)
{
    static const std::pair<const QString *, int> sizes[] = {
        {&PresetSections::QCopy, 10}, {&PresetSections::QMove, 10}, {&PresetSections::Save, 5},
        {&PresetSections::OpenWith, 15}, {&PresetSections::Home, 30}, {&PresetSections::Search, 30},
    };
    for (const auto &[name, size] : sizes) {
        if (name->compare(section, Qt::CaseInsensitive) == 0)
            return size;
    }
    return 0;
}

std::vector<PresetEntry> PresetList::read(const QString &section)
{
    std::vector<PresetEntry> entries;
    const int size = sizeOf(section);
    for (int i = 1; i <= size; ++i) {
        const QString number = QString::number(i);
        entries.push_back({i, GetSetting(section, number), GetSetting(section, QStringLiteral("Caption") + number)});
    }
    return entries;
}
