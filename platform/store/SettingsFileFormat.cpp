#include "platform/store/SettingsFileFormat.h"

#include <QFileDevice>
#include <QStringList>

#include <cerrno>
#include <utility>

namespace {

int &lastWriteError()
{
    static int error = 0;
    return error;
}

const QChar kGroupSeparator = QLatin1Char('/');
const QChar kEscape = QLatin1Char('\\');

QString hexCode(QChar c)
{
    return QStringLiteral("%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
}

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

// Reads two hex digits at pos; -1 when there are none.
int hexAt(const QString &text, qsizetype pos)
{
    if (pos + 2 > text.size() || !isHexDigit(text.at(pos)) || !isHexDigit(text.at(pos + 1)))
        return -1;
    return text.mid(pos, 2).toInt(nullptr, 16);
}

// Only ASCII blanks and control characters are cut from the ends of names: the writer
// encodes exactly those at an edge, so a no-break space there survives a save.
QString trimmedBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 0x20)
        ++first;
    while (last > first && text.at(last - 1).unicode() <= 0x20)
        --last;
    return text.mid(first, last - first);
}

QString percentEncoded(const QString &name, const QString &special)
{
    QString out;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        const bool edgeBlank = c == QLatin1Char(' ') && (i == 0 || i == name.size() - 1);
        const bool leadingMark = i == 0 && (c == QLatin1Char(';') || c == QLatin1Char('#'));
        if (special.contains(c) || isControl(c) || edgeBlank || leadingMark)
            out += QLatin1Char('%') + hexCode(c);
        else
            out += c;
    }
    return out;
}

QString percentDecoded(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int code = text.at(i) == QLatin1Char('%') ? hexAt(text, i + 1) : -1;
        if (code >= 0) {
            out += QChar(code);
            i += 2;
        } else {
            out += text.at(i);
        }
    }
    return out;
}

QString fileName(const QString &stored)
{
    return percentEncoded(SettingsFileFormat::plainName(stored), QStringLiteral("%[]="));
}

QString storedFromFile(const QString &name)
{
    return SettingsFileFormat::storedName(percentDecoded(name));
}

QString escapedValue(const QString &value)
{
    QString out;
    for (const QChar c : value) {
        if (c == kEscape)
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (isControl(c) && c != QLatin1Char('\t'))
            out += QLatin1String("\\x") + hexCode(c);
        else
            out += c;
    }
    return out;
}

QString unescapedValue(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        const int code = next == QLatin1Char('x') ? hexAt(text, i + 2) : -1;
        if (text.at(i) != kEscape) {
            out += text.at(i);
        } else if (next == kEscape) {
            out += kEscape;
            ++i;
        } else if (next == QLatin1Char('n') || next == QLatin1Char('r')) {
            out += next == QLatin1Char('n') ? QLatin1Char('\n') : QLatin1Char('\r');
            ++i;
        } else if (code >= 0) {
            out += QChar(code);
            i += 3;
        } else {
            out += kEscape;
        }
    }
    return out;
}

// A hand-edited value with a bare comma may come back from QSettings as a list.
QString valueText(const QVariant &value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

QString keyLine(const QString &storedKey, const QVariant &value)
{
    return fileName(storedKey) + QLatin1Char('=') + escapedValue(valueText(value)) + QLatin1Char('\n');
}

} // namespace

QSettings::Format SettingsFileFormat::format()
{
    static const QSettings::Format registered = QSettings::registerFormat(QStringLiteral("conf"), &read, &write);
    return registered;
}

QString SettingsFileFormat::storedName(const QString &name)
{
    QString stored = name;
    stored.replace(QLatin1Char('%'), QLatin1String("%25"));
    stored.replace(kEscape, QLatin1String("%5C"));
    stored.replace(kGroupSeparator, QLatin1String("%2F"));
    return stored;
}

QString SettingsFileFormat::plainName(const QString &stored)
{
    return percentDecoded(stored);
}

bool SettingsFileFormat::read(QIODevice &device, QSettings::SettingsMap &map)
{
    const QStringList lines = QString::fromUtf8(device.readAll()).split(QLatin1Char('\n'));
    QString group;
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (trimmedBlanks(line).isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && trimmedBlanks(line).endsWith(QLatin1Char(']'))) {
            const QString header = trimmedBlanks(line);
            group = storedFromFile(header.mid(1, header.size() - 2));
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? QString() : trimmedBlanks(line.left(equals));
        // A line without a name (" =x") holds nothing a save could write back.
        if (name.isEmpty())
            continue;
        const QString key = storedFromFile(name);
        map.insert(group.isEmpty() ? key : group + kGroupSeparator + key, unescapedValue(line.mid(equals + 1)));
    }
    return true;
}

bool SettingsFileFormat::write(QIODevice &device, const QSettings::SettingsMap &map)
{
    // Keys outside any section must come before the first section header.
    QString text;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        if (!it.key().contains(kGroupSeparator))
            text += keyLine(it.key(), it.value());
    }
    // The map is sorted, so the keys of one section follow each other.
    QString section;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(kGroupSeparator);
        if (slash < 0)
            continue;
        if (section.isNull() || it.key().left(slash) != section) {
            section = it.key().left(slash);
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + QLatin1Char('[') + fileName(section)
                + QStringLiteral("]\n");
        }
        text += keyLine(it.key().mid(slash + 1), it.value());
    }
    const QByteArray bytes = text.toUtf8();
    // Everything must have reached the file before QSettings commits it.
    auto *file = qobject_cast<QFileDevice *>(&device);
    errno = 0;
    if (device.write(bytes) == bytes.size() && (!file || file->flush()))
        return true;
    lastWriteError() = errno != 0 ? errno : EIO;
    return false;
}

int SettingsFileFormat::takeWriteError()
{
    return std::exchange(lastWriteError(), 0);
}
