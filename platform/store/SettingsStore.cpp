#include "platform/store/SettingsStore.h"

#include "platform/system/Singleton.h"

#include "platform/system/ErrorState.h"
#include "platform/store/SettingsFileFormat.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QThread>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QSysInfo>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <limits>
#include <unistd.h>

namespace {

const QChar kGroupSeparator = QLatin1Char('/');

// Names were looked up without regard to case in the store the program was made for.
QString matching(const QStringList &names, const QString &wanted)
{
    for (const QString &name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    }
    return {};
}

// An empty lock this old cannot belong to a live instance, which fills its lock the
// moment it creates it.
bool leftEmptyForASecond(const QFileInfo &lock)
{
    return lock.size() == 0 && lock.lastModified() < QDateTime::currentDateTime().addSecs(-1);
}

// A lock nobody will release: the process that wrote it is gone, or it was left
// empty (a kill between creating and filling it) more than a second ago. A lock
// of a live instance is not stale; the store waits for it as QSettings does.
bool isStaleLock(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = file.read(4096);
    if (content.isEmpty())
        return leftEmptyForASecond(QFileInfo(file));
    const QList<QByteArray> lines = content.split('\n');
    bool isNumber = false;
    const qint64 pid = lines.value(0).trimmed().toLongLong(&isNumber);
    const QByteArray host = lines.value(2).trimmed();
    if (!isNumber || pid <= 0 || (!host.isEmpty() && host != QSysInfo::machineHostName().toUtf8()))
        return false;
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

// Waits until an empty lock is old enough to tell whether it is a kill's leftover,
// rather than the half a minute the settings file's own lock would wait.
void waitWhileEmptyAndYoung(const QString &path)
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const QFileInfo info(path);
        if (!info.exists() || info.size() > 0 || waited.elapsed() > 1500 || leftEmptyForASecond(info))
            return;
        QThread::msleep(50);
    }
}

void takeOverStaleLock(const QString &path)
{
    waitWhileEmptyAndYoung(path);
    if (!isStaleLock(path))
        return;
    // The guard QLockFile itself takes before removing a stale lock, so that two
    // instances never remove a lock one of them has just taken.
    QLockFile removal(path + QStringLiteral(".rmlock"));
    if (removal.tryLock(0) && isStaleLock(path))
        QFile::remove(path);
}

// Why the settings file cannot be written, as the system would say it.
int writeProblem(const QString &path)
{
    if (const int problem = writeProblemBeside(path))
        return problem;
    if (QFileInfo::exists(path) && ::access(QFile::encodeName(path).constData(), W_OK) != 0)
        return errno;
    return 0;
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
    takeOverStaleLock(m_path + QStringLiteral(".lock"));
    setAsideIfUnusable();
    reopen();
}

void SettingsStore::setAsideIfUnusable()
{
    QString reason;
    int systemError = 0;
    if (readWholeFile(m_path, MaxFileSize, reason, systemError) || systemError == ENOENT)
        return;
    m_unusable = FileProblem{m_path, reason, moveAside(m_path)};
}

std::optional<FileProblem> SettingsStore::takeUnusableFile()
{
    return std::exchange(m_unusable, std::nullopt);
}

std::optional<FileProblem> SettingsStore::unsavedChanges() const
{
    return m_unsaved;
}

SettingsStore::~SettingsStore() = default;

void SettingsStore::reopen()
{
    m_settings.reset();
    m_settings = std::make_unique<QSettings>(m_path, SettingsFileFormat::format());
    // Saves go to a temporary file that replaces the old one only when complete;
    // never fall back to writing the file in place.
    m_settings->setAtomicSyncRequired(true);
}

QString SettingsStore::filePath() const
{
    return m_path;
}

QString SettingsStore::storedGroup(const QString &section) const
{
    return matching(m_settings->childGroups(), SettingsFileFormat::storedName(section));
}

QString SettingsStore::storedKeyPath(const QString &section, const QString &key) const
{
    const QString group = storedGroup(section);
    if (group.isEmpty())
        return {};
    m_settings->beginGroup(group);
    const QString stored = matching(m_settings->childKeys(), SettingsFileFormat::storedName(key));
    m_settings->endGroup();
    return stored.isEmpty() ? QString() : group + kGroupSeparator + stored;
}

QString SettingsStore::get(const QString &section, const QString &key, const QVariant &defaultValue) const
{
    const QString path = storedKeyPath(section, key);
    if (path.isEmpty())
        return settingText(defaultValue);
    return m_settings->value(path).toString();
}

bool SettingsStore::contains(const QString &section, const QString &key) const
{
    return !storedKeyPath(section, key).isEmpty();
}

void SettingsStore::save(const QString &section, const QString &key, const QVariant &value)
{
    if (section.isEmpty() || key.isEmpty())
        raiseError(ErrorNumber::IllegalCall);
    prepareWrite();
    QString path = storedKeyPath(section, key);
    const QVariant previous = path.isEmpty() ? QVariant() : m_settings->value(path);
    if (path.isEmpty()) {
        const QString group = storedGroup(section);
        path = (group.isEmpty() ? SettingsFileFormat::storedName(section) : group) + kGroupSeparator
            + SettingsFileFormat::storedName(key);
    }
    m_settings->setValue(path, settingText(value));
    changed({{path, previous}});
}

void SettingsStore::remove(const QString &section, const QString &key)
{
    if (section.isEmpty()) {
        if (!key.isEmpty() || m_settings->allKeys().isEmpty())
            raiseError(ErrorNumber::IllegalCall);
        prepareWrite();
        Undo undo = snapshot({});
        m_settings->clear();
        changed(std::move(undo));
        return;
    }
    const QString path = key.isEmpty() ? storedGroup(section) : storedKeyPath(section, key);
    if (path.isEmpty())
        raiseError(ErrorNumber::IllegalCall);
    prepareWrite();
    Undo undo = key.isEmpty() ? snapshot(path) : Undo{{path, m_settings->value(path)}};
    m_settings->remove(path);
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
    // The status QSettings reports after the batch's write must be that write's own.
    if (m_settings->status() != QSettings::NoError)
        reopen();
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

SettingsStore::Undo SettingsStore::snapshot(const QString &group) const
{
    Undo undo;
    const QString prefix = group.isEmpty() ? QString() : group + kGroupSeparator;
    for (const QString &path : m_settings->allKeys()) {
        if (path.startsWith(prefix))
            undo.emplace_back(path, m_settings->value(path));
    }
    return undo;
}

void SettingsStore::prepareWrite()
{
    // A batch touches no file until it ends, and is checked then.
    if (m_batch)
        return;
    // QSettings keeps the first error it met; a fresh object tells whether the file
    // can be written now.
    if (m_settings->status() != QSettings::NoError)
        reopen();
    if (m_settings->status() != QSettings::NoError)
        failed(0);
}

void SettingsStore::failed(int systemError)
{
    if (systemError == 0)
        systemError = writeProblem(m_path);
    if (systemError == 0)
        systemError = EIO;
    m_unsaved = FileProblem{m_path, systemErrorText(systemError), {}};
    raiseSystemError(ErrorNumber::PathFileAccessError, systemError, m_path);
}

void SettingsStore::commit(const Undo &undo)
{
    QDir().mkpath(QFileInfo(m_path).path());
    takeOverStaleLock(m_path + QStringLiteral(".lock"));
    SettingsFileFormat::takeWriteError();
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError) {
        m_unsaved.reset();
        return;
    }
    const int systemError = SettingsFileFormat::takeWriteError();
    // Backwards, so that a key changed twice gets its first value back.
    for (auto step = undo.rbegin(); step != undo.rend(); ++step) {
        if (step->second.isValid())
            m_settings->setValue(step->first, step->second);
        else
            m_settings->remove(step->first);
    }
    reopen();
    failed(systemError);
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
