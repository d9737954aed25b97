#include "platform/store/SettingsFileFormat.h"

#include "platform/system/FileNames.h"

#include <algorithm>

namespace {

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
int hexAt(QStringView text, qsizetype pos)
{
    if (pos + 2 > text.size() || !isHexDigit(text.at(pos)) || !isHexDigit(text.at(pos + 1)))
        return -1;
    return text.mid(pos, 2).toInt(nullptr, 16);
}

// Only ASCII blanks and control characters are cut from the ends of names: the writer
// encodes exactly those at an edge, so a no-break space there survives a save.
QStringView trimmedBlanks(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 0x20)
        ++first;
    while (last > first && text.at(last - 1).unicode() <= 0x20)
        --last;
    return text.sliced(first, last - first);
}

QString percentEncoded(QStringView name, const QString &special)
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

QString percentDecoded(QStringView text)
{
    if (!text.contains(QLatin1Char('%')))
        return text.toString();
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

QString escapedValue(QStringView value)
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

QString unescapedValue(QStringView text)
{
    if (!text.contains(kEscape))
        return text.toString();
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

void appendKeyLine(QString &out, QStringView key, QStringView value)
{
    out += percentEncoded(key, QStringLiteral("%[]="));
    out += QLatin1Char('=');
    out += escapedValue(value);
    out += QLatin1Char('\n');
}

} // namespace

bool SettingsFileFormat::CaseInsensitiveLess::operator()(const QString &a, const QString &b) const
{
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

namespace SettingsFileFormat {

Section::Entry::Entry(QStringView key, QStringView value)
    : m_keyLength(key.size())
{
    m_text.reserve(key.size() + value.size());
    m_text.append(key);
    m_text.append(value);
}

std::vector<Section::Entry>::iterator Section::lowerBound(QStringView key)
{
    return std::lower_bound(m_entries.begin(), m_entries.end(), key, [](const Entry &entry, QStringView wanted) {
        return entry.key().compare(wanted, Qt::CaseInsensitive) < 0;
    });
}

const Section::Entry *Section::find(QStringView key) const
{
    const auto found = const_cast<Section *>(this)->lowerBound(key);
    return found != m_entries.end() && found->key().compare(key, Qt::CaseInsensitive) == 0 ? &*found : nullptr;
}

void Section::set(QStringView key, QStringView value)
{
    const auto found = lowerBound(key);
    if (found != m_entries.end() && found->key().compare(key, Qt::CaseInsensitive) == 0)
        *found = Entry(found->key().toString(), value);
    else
        m_entries.emplace(found, key, value);
}

void Section::erase(QStringView key)
{
    const auto found = lowerBound(key);
    if (found != m_entries.end() && found->key().compare(key, Qt::CaseInsensitive) == 0)
        m_entries.erase(found);
}

void Section::append(QStringView key, QStringView value)
{
    m_entries.emplace_back(key, value);
}

void Section::settle()
{
    std::stable_sort(m_entries.begin(), m_entries.end(), [](const Entry &a, const Entry &b) {
        return a.key().compare(b.key(), Qt::CaseInsensitive) < 0;
    });
    auto kept = m_entries.begin();
    for (auto next = m_entries.begin(); next != m_entries.end(); ++next) {
        if (next != kept && next->key().compare(kept->key(), Qt::CaseInsensitive) == 0)
            *kept = Entry(kept->key().toString(), next->value());
        else if (next != m_entries.begin() && ++kept != next)
            *kept = std::move(*next);
    }
    if (!m_entries.empty())
        m_entries.erase(kept + 1, m_entries.end());
    m_entries.shrink_to_fit();
}

} // namespace SettingsFileFormat

SettingsFileFormat::Content SettingsFileFormat::parse(const QByteArray &bytes)
{
    Content content;
    Section *section = nullptr;
    QString group;
    qsizetype start = 0;
    // Line by line, so that the text is never held whole a second time.
    while (start <= bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        // Stored paths are bytes that need not be UTF-8 (a folder named on another
        // system): decoded as file names are, so that a path read back names the same file.
        const QByteArrayView lineBytes = QByteArrayView(bytes).sliced(start, end - start);
        QString text = QString::fromUtf8(lineBytes);
        if (text.contains(QChar::ReplacementCharacter))
            text = decodeFileName(lineBytes);
        QStringView line = text;
        start = end + 1;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringView trimmed = trimmedBlanks(line);
        if (trimmed.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            group = percentDecoded(trimmed.sliced(1, trimmed.size() - 2));
            section = nullptr;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QStringView name = equals < 0 ? QStringView() : trimmedBlanks(line.first(equals));
        // A line without a name (" =x") holds nothing a save could write back.
        if (name.isEmpty())
            continue;
        if (!section)
            section = &content[group];
        section->append(percentDecoded(name), unescapedValue(line.sliced(equals + 1)));
    }
    for (auto &[name, keys] : content)
        keys.settle();
    return content;
}

QByteArray SettingsFileFormat::serialize(const Content &content)
{
    QString text;
    // Keys outside any section come first: the empty name sorts before every other.
    for (const auto &[group, keys] : content) {
        if (!group.isEmpty())
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + QLatin1Char('[')
                + percentEncoded(group, QStringLiteral("%[]=")) + QStringLiteral("]\n");
        for (const Section::Entry &entry : keys)
            appendKeyLine(text, entry.key(), entry.value());
    }
    // A path's bytes that are no UTF-8 are written as they are (see parse); text with
    // a lone surrogate no bytes stand for is written as UTF-8 writes it.
    QByteArray bytes;
    return encodeFileName(text, bytes) ? bytes : text.toUtf8();
}
