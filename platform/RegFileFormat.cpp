#include "platform/RegFileFormat.h"

#include "platform/RegistryTree.h"

#include <QStringDecoder>
#include <QStringList>
#include <QtEndian>

#include <optional>

namespace {

const QString kHeader4 = QStringLiteral("REGEDIT4");
const QString kHeader5 = QStringLiteral("Windows Registry Editor Version 5.00");
const QChar kQuote = QLatin1Char('"');
const QChar kBackslash = QLatin1Char('\\');
constexpr qsizetype kHexLineWidth = 76;

struct ScriptState
{
    RegistryTree &tree;
    bool unicode = false; // version 5.00 scripts keep hex(1), hex(2) and hex(7) text in UTF-16
    QString key;          // empty while no usable section is open
};

// Reads a quoted text whose opening quote is at pos; "\\" and "\"" are escapes.
// Returns the position after the closing quote, or -1 when it is missing.
qsizetype readQuoted(const QString &line, qsizetype pos, QString &text)
{
    text.clear();
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == kBackslash && i + 1 < line.size() && (line.at(i + 1) == kBackslash || line.at(i + 1) == kQuote)) {
            text += line.at(++i);
        } else if (c == kQuote) {
            return i + 1;
        } else {
            text += c;
        }
    }
    return -1;
}

bool splitValueLine(const QString &line, QString &name, QString &data)
{
    qsizetype pos = 1;
    if (line.startsWith(QLatin1Char('@')))
        name.clear();
    else if (!line.startsWith(kQuote) || (pos = readQuoted(line, 0, name)) < 0)
        return false;
    while (pos < line.size() && line.at(pos).isSpace())
        ++pos;
    if (pos >= line.size() || line.at(pos) != QLatin1Char('='))
        return false;
    data = line.mid(pos + 1).trimmed();
    return true;
}

bool isHexDigits(const QString &text, qsizetype maxLength)
{
    if (text.isEmpty() || text.size() > maxLength)
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')))
            return false;
    }
    return true;
}

std::optional<RegValue> parseString(const QString &data)
{
    QString text;
    if (readQuoted(data, 0, text) < 0)
        return std::nullopt;
    return RegValue{RegType::String, text.toUtf8() + '\0'};
}

std::optional<RegValue> parseDword(const QString &digits)
{
    if (!isHexDigits(digits, 8))
        return std::nullopt;
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(digits.toUInt(nullptr, 16), bytes.data());
    return RegValue{RegType::Dword, bytes};
}

std::optional<QByteArray> parseHexBytes(const QString &list)
{
    QByteArray bytes;
    for (const QString &part : list.split(QLatin1Char(','))) {
        const QString token = part.trimmed();
        if (token.isEmpty())
            continue;
        if (!isHexDigits(token, 2))
            return std::nullopt;
        bytes.append(char(token.toUInt(nullptr, 16)));
    }
    return bytes;
}

bool holdsText(int type)
{
    return type == RegType::String || type == RegType::ExpandString || type == 7;
}

// "hex:…" (binary) or "hex(N):…" with N the type in hexadecimal.
std::optional<RegValue> parseHex(const QString &data, bool unicode)
{
    QString rest = data.mid(3);
    int type = RegType::Binary;
    if (rest.startsWith(QLatin1Char('('))) {
        const qsizetype close = rest.indexOf(QLatin1Char(')'));
        if (close < 0 || !isHexDigits(rest.mid(1, close - 1), 8))
            return std::nullopt;
        type = int(rest.mid(1, close - 1).toUInt(nullptr, 16));
        rest = rest.mid(close + 1);
    }
    if (!rest.startsWith(QLatin1Char(':')))
        return std::nullopt;
    std::optional<QByteArray> bytes = parseHexBytes(rest.mid(1));
    if (!bytes)
        return std::nullopt;
    if (unicode && holdsText(type)) {
        QStringDecoder utf16(QStringDecoder::Utf16LE);
        *bytes = QString(utf16(*bytes)).toUtf8();
    }
    return RegValue{type, *bytes};
}

void applyValueLine(const QString &name, const QString &data, ScriptState &state)
{
    if (state.key.isEmpty())
        return;
    if (data == QLatin1String("-")) {
        state.tree.removeValue(state.key, name);
        return;
    }
    std::optional<RegValue> value;
    if (data.startsWith(kQuote))
        value = parseString(data);
    else if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive))
        value = parseDword(data.mid(6).trimmed());
    else if (data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive))
        value = parseHex(data, state.unicode);
    if (value)
        state.tree.setValue(state.key, name, *value);
}

// "[-KEY]" deletes the key with its subkeys; "[KEY]" creates it and opens it for the
// value lines that follow.
void applySectionLine(const QString &line, ScriptState &state)
{
    state.key.clear();
    if (!line.endsWith(QLatin1Char(']')))
        return;
    QString path = line.mid(1, line.size() - 2).trimmed();
    const bool remove = path.startsWith(QLatin1Char('-'));
    if (remove)
        path = path.mid(1);
    QStringList parts = RegistryTree::normalizedPath(path).split(kBackslash);
    parts[0] = RegFileFormat::canonicalRoot(parts[0]);
    if (parts[0].isEmpty())
        return;
    path = parts.join(kBackslash);
    if (remove) {
        state.tree.removeKey(path);
        return;
    }
    state.tree.createKey(path);
    state.key = path;
}

bool isHexContinued(const QString &data)
{
    return data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive) && data.endsWith(kBackslash);
}

QString quoted(const QString &text)
{
    QString escaped = text;
    escaped.replace(kBackslash, QLatin1String("\\\\"));
    escaped.replace(kQuote, QLatin1String("\\\""));
    return kQuote + escaped + kQuote;
}

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return !utf8.hasError();
}

// A string value is written as "text" only when reading that text back gives the
// same bytes: one terminating NUL, no other NUL, valid UTF-8, no line breaks.
bool isPlainString(const RegValue &value)
{
    const QByteArray &data = value.data;
    if (value.type != RegType::String || !data.endsWith('\0') || data.indexOf('\0') != data.size() - 1)
        return false;
    const QByteArray text = data.chopped(1);
    return isValidUtf8(text) && !text.contains('\r') && !text.contains('\n');
}

QString hexList(const QByteArray &bytes, qsizetype column)
{
    QString out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out += QStringLiteral("%1").arg(quint8(bytes.at(i)), 2, 16, QLatin1Char('0'));
        column += 2;
        if (i + 1 == bytes.size())
            break;
        out += QLatin1Char(',');
        ++column;
        if (column >= kHexLineWidth) {
            out += QLatin1String("\\\n  ");
            column = 2;
        }
    }
    return out;
}

QString dataText(const RegValue &value, qsizetype column)
{
    if (isPlainString(value))
        return quoted(QString::fromUtf8(value.data.chopped(1)));
    if (value.type == RegType::Dword && value.data.size() == 4)
        return QStringLiteral("dword:%1").arg(qFromLittleEndian<quint32>(value.data.constData()), 8, 16, QLatin1Char('0'));
    const QString prefix = value.type == RegType::Binary ? QStringLiteral("hex:")
                                                         : QStringLiteral("hex(%1):").arg(value.type, 0, 16);
    return prefix + hexList(value.data, column + prefix.size());
}

QString valueLine(const RegNamedValue &entry)
{
    const QString name = (entry.name.isEmpty() ? QStringLiteral("@") : quoted(entry.name)) + QLatin1Char('=');
    return name + dataText(entry.value, name.size());
}

} // namespace

QString RegFileFormat::decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE)(bytes.mid(2));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    return textFromBytes(bytes);
}

QString RegFileFormat::textFromBytes(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows1250("windows-1250");
    return windows1250.isValid() ? QString(windows1250(bytes)) : QString::fromLatin1(bytes);
}

QString RegFileFormat::canonicalRoot(const QString &name)
{
    static const QStringList roots = {
        QStringLiteral("HKEY_CURRENT_USER"), QStringLiteral("HKEY_LOCAL_MACHINE"),
        QStringLiteral("HKEY_USERS"),        QStringLiteral("HKEY_CLASSES_ROOT"),
        QStringLiteral("HKEY_CURRENT_CONFIG"), QStringLiteral("HKEY_DYN_DATA"),
    };
    for (const QString &root : roots) {
        if (root.compare(name, Qt::CaseInsensitive) == 0)
            return root;
    }
    return {};
}

bool RegFileFormat::apply(const QString &text, RegistryTree &tree)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    ScriptState state{tree, false, {}};
    bool headerSeen = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i).trimmed();
        if (i == 0 && line.startsWith(QChar(0xFEFF)))
            line = line.mid(1).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (!headerSeen) {
            if (line != kHeader4 && line != kHeader5)
                return false;
            headerSeen = true;
            state.unicode = line == kHeader5;
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            applySectionLine(line, state);
            continue;
        }
        QString name;
        QString data;
        if (!splitValueLine(line, name, data))
            continue;
        while (isHexContinued(data) && i + 1 < lines.size())
            data = data.chopped(1) + lines.at(++i).trimmed();
        applyValueLine(name, data, state);
    }
    return headerSeen;
}

QByteArray RegFileFormat::serialize(const RegistryTree &tree)
{
    QString out = kHeader4 + QLatin1Char('\n');
    for (const auto &[folded, key] : tree.keys()) {
        // Parents are implied by their subkeys; a bare root key says nothing.
        const bool isRoot = !key.path.contains(kBackslash);
        if (key.values.empty() && (isRoot || tree.hasSubKeys(key.path)))
            continue;
        out += QStringLiteral("\n[%1]\n").arg(key.path);
        for (const RegNamedValue &entry : key.values)
            out += valueLine(entry) + QLatin1Char('\n');
    }
    return out.toUtf8();
}
