#include "platform/store/RegFileFormat.h"

#include "platform/store/RegistryTree.h"

#include <QStringDecoder>
#include <QStringList>
#include <QtEndian>

#include <optional>
#include <vector>

namespace {

const QString kHeader4 = QStringLiteral("REGEDIT4");
const QString kHeader5 = QStringLiteral("Windows Registry Editor Version 5.00");
const QChar kQuote = QLatin1Char('"');
const QChar kBackslash = QLatin1Char('\\');
constexpr qsizetype kHexLineWidth = 76;
// A byte-order mark inside a value is text: the decoders would drop one that starts it.
constexpr auto kKeepMark = QStringConverter::Flag::ConvertInitialBom;

struct ScriptState
{
    RegistryTree &tree;
    bool unicode = false;             // version 5.00 scripts keep hex(1), hex(2) and hex(7) text in UTF-16
    RegistryTree::Key *key = nullptr; // null while no usable section is open
    qsizetype skipped = 0;            // lines that did not parse or had no usable section
};

// The lines of a text, without their ends; views into the text.
std::vector<QStringView> splitLines(const QString &text)
{
    std::vector<QStringView> lines;
    qsizetype start = 0;
    while (true) {
        const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) {
            lines.push_back(QStringView(text).sliced(start));
            return lines;
        }
        lines.push_back(QStringView(text).sliced(start, end - start));
        start = end + 1;
    }
}

// Reads a quoted text whose opening quote is at pos; "\\" and "\"" are escapes.
// Returns the position after the closing quote, or -1 when it is missing.
qsizetype readQuoted(QStringView line, qsizetype pos, QString &text)
{
    // Most texts hold no escape: taken whole.
    const qsizetype close = line.indexOf(kQuote, pos + 1);
    if (close >= 0 && !line.sliced(pos + 1, close - pos - 1).contains(kBackslash)) {
        text = line.sliced(pos + 1, close - pos - 1).toString();
        return close + 1;
    }
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

bool splitValueLine(QStringView line, QString &name, QStringView &data)
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
    data = line.sliced(pos + 1).trimmed();
    return true;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

bool isHexDigits(QStringView text, qsizetype maxLength)
{
    if (text.isEmpty() || text.size() > maxLength)
        return false;
    for (const QChar c : text) {
        if (hexDigit(c) < 0)
            return false;
    }
    return true;
}

std::optional<RegValue> parseString(QStringView data)
{
    QString text;
    if (readQuoted(data, 0, text) < 0)
        return std::nullopt;
    QByteArray bytes = text.toUtf8();
    bytes += '\0';
    return RegValue{RegType::String, std::move(bytes)};
}

std::optional<RegValue> parseDword(QStringView digits)
{
    if (!isHexDigits(digits, 8))
        return std::nullopt;
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(digits.toUInt(nullptr, 16), bytes.data());
    return RegValue{RegType::Dword, bytes};
}

// "01,ff, 2" — blanks around a byte and empty items are allowed.
std::optional<QByteArray> parseHexBytes(QStringView list)
{
    QByteArray bytes;
    bytes.reserve(list.size() / 3 + 1);
    qsizetype start = 0;
    while (start <= list.size()) {
        qsizetype end = list.indexOf(QLatin1Char(','), start);
        if (end < 0)
            end = list.size();
        const QStringView token = list.sliced(start, end - start).trimmed();
        start = end + 1;
        if (token.isEmpty())
            continue;
        if (!isHexDigits(token, 2))
            return std::nullopt;
        bytes.append(char(token.size() == 1 ? hexDigit(token[0]) : hexDigit(token[0]) * 16 + hexDigit(token[1])));
    }
    return bytes;
}

bool holdsText(int type)
{
    return type == RegType::String || type == RegType::ExpandString || type == 7;
}

// "hex:…" (binary) or "hex(N):…" with N the type in hexadecimal.
std::optional<RegValue> parseHex(QStringView data, bool unicode)
{
    QStringView rest = data.sliced(3);
    int type = RegType::Binary;
    if (rest.startsWith(QLatin1Char('('))) {
        const qsizetype close = rest.indexOf(QLatin1Char(')'));
        if (close < 0 || !isHexDigits(rest.sliced(1, close - 1), 8))
            return std::nullopt;
        type = int(rest.sliced(1, close - 1).toUInt(nullptr, 16));
        rest = rest.sliced(close + 1);
    }
    if (!rest.startsWith(QLatin1Char(':')))
        return std::nullopt;
    std::optional<QByteArray> bytes = parseHexBytes(rest.sliced(1));
    if (!bytes)
        return std::nullopt;
    if (unicode && holdsText(type)) {
        QStringDecoder utf16(QStringDecoder::Utf16LE, kKeepMark);
        *bytes = QString(utf16(*bytes)).toUtf8();
    }
    return RegValue{type, *bytes};
}

void applyValueLine(const QString &name, QStringView data, ScriptState &state)
{
    if (!state.key) {
        ++state.skipped;
        return;
    }
    if (data == QLatin1String("-")) {
        RegistryTree::removeValue(*state.key, name);
        return;
    }
    std::optional<RegValue> value;
    if (data.startsWith(kQuote))
        value = parseString(data);
    else if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive))
        value = parseDword(data.sliced(6).trimmed());
    else if (data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive))
        value = parseHex(data, state.unicode);
    if (value)
        RegistryTree::setValue(*state.key, name, *value);
    else
        ++state.skipped;
}

// The key path of a section line "[KEY]" or "[-KEY]" with its root spelled as
// canonicalRoot gives it; empty under an unknown root. Only the root name is
// trimmed: a key name may begin or end with a blank.
QString sectionPath(QStringView line, bool &remove)
{
    QStringView inner = line.sliced(1, line.size() - 2);
    remove = inner.startsWith(QLatin1Char('-'));
    if (remove)
        inner = inner.sliced(1);
    const qsizetype separator = inner.indexOf(kBackslash);
    const QString root =
        RegFileFormat::canonicalRoot((separator < 0 ? inner : inner.first(separator)).trimmed().toString());
    if (root.isEmpty() || separator < 0)
        return root;
    return root + inner.sliced(separator).toString();
}

bool isSectionLine(QStringView line)
{
    return line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')) && line.size() >= 2;
}

// "[-KEY]" deletes the key with its subkeys; "[KEY]" creates it and opens it for the
// value lines that follow.
void applySectionLine(QStringView line, ScriptState &state)
{
    state.key = nullptr;
    bool remove = false;
    const QString path = isSectionLine(line) ? sectionPath(line, remove) : QString();
    if (path.isEmpty()) {
        ++state.skipped;
        return;
    }
    if (remove)
        state.tree.removeKey(path);
    else
        state.key = state.tree.createKey(path);
}

bool isHexContinued(QStringView data)
{
    return data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive) && data.endsWith(kBackslash);
}

QStringView meaningful(QStringView line, qsizetype number)
{
    line = line.trimmed();
    if (number == 0 && line.startsWith(QChar(0xFEFF)))
        line = line.sliced(1).trimmed();
    return line;
}

// Checks what would make the whole script unreadable before anything of it is applied.
bool checkScript(const std::vector<QStringView> &lines, QString &problem, bool &unicode)
{
    bool headerSeen = false;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        if (lines[i].size() > RegFileFormat::MaxLineLength) {
            problem = QStringLiteral("řádek %1 je delší než %2 MB").arg(i + 1).arg(RegFileFormat::MaxLineLength >> 20);
            return false;
        }
        const QStringView line = meaningful(lines[i], i);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (!headerSeen) {
            if (line != kHeader4 && line != kHeader5) {
                problem = QStringLiteral("chybí záhlaví REGEDIT4");
                return false;
            }
            headerSeen = true;
            unicode = line == kHeader5;
        } else if (isSectionLine(line) && RegistryTree::depthOf(line.sliced(1, line.size() - 2).toString())
                                              > RegistryTree::MaxDepth) {
            problem = QStringLiteral("klíč na řádku %1 je zanořen hlouběji než %2 úrovní")
                          .arg(i + 1)
                          .arg(RegistryTree::MaxDepth);
            return false;
        }
    }
    if (!headerSeen)
        problem = QStringLiteral("chybí záhlaví REGEDIT4");
    return headerSeen;
}

void appendQuoted(QString &out, QStringView text)
{
    out += kQuote;
    if (!text.contains(kBackslash) && !text.contains(kQuote)) {
        out += text;
    } else {
        for (const QChar c : text) {
            if (c == kBackslash || c == kQuote)
                out += kBackslash;
            out += c;
        }
    }
    out += kQuote;
}

// The text of a string value that is written as "text": only when reading that
// text back gives the same bytes (one terminating NUL, no other NUL, valid UTF-8,
// no line breaks).
std::optional<QString> plainText(const RegValue &value)
{
    const QByteArray &data = value.data;
    if (value.type != RegType::String || !data.endsWith('\0') || data.indexOf('\0') != data.size() - 1)
        return std::nullopt;
    const QByteArrayView text = QByteArrayView(data).chopped(1);
    if (text.contains('\r') || text.contains('\n'))
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, kKeepMark);
    QString decoded = utf8(text);
    if (utf8.hasError())
        return std::nullopt;
    return decoded;
}

void appendHexList(QString &out, const QByteArray &bytes, qsizetype column)
{
    static const char digits[] = "0123456789abcdef";
    out.reserve(out.size() + bytes.size() * 3 + bytes.size() / 20 * 4);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = quint8(bytes.at(i));
        out += QLatin1Char(digits[byte >> 4]);
        out += QLatin1Char(digits[byte & 0xF]);
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
}

void appendData(QString &out, const RegValue &value, qsizetype column)
{
    if (const std::optional<QString> text = plainText(value)) {
        appendQuoted(out, *text);
        return;
    }
    if (value.type == RegType::Dword && value.data.size() == 4) {
        out += QStringLiteral("dword:%1").arg(qFromLittleEndian<quint32>(value.data.constData()), 8, 16, QLatin1Char('0'));
        return;
    }
    // The type is written as the unsigned number it is read back as.
    const QString prefix = value.type == RegType::Binary ? QStringLiteral("hex:")
                                                         : QStringLiteral("hex(%1):").arg(quint32(value.type), 0, 16);
    out += prefix;
    appendHexList(out, value.data, column + prefix.size());
}

void appendValueLine(QString &out, const RegNamedValue &entry)
{
    const qsizetype start = out.size();
    if (entry.name.isEmpty())
        out += QLatin1Char('@');
    else
        appendQuoted(out, entry.name);
    out += QLatin1Char('=');
    appendData(out, entry.value, out.size() - start);
    out += QLatin1Char('\n');
}

} // namespace

QString RegFileFormat::decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE, kKeepMark)(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE, kKeepMark)(bytes.mid(2));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QStringDecoder(QStringDecoder::Utf8, kKeepMark)(bytes.mid(3));
    return textFromBytes(bytes);
}

QString RegFileFormat::textFromBytes(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, kKeepMark);
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

bool RegFileFormat::apply(const QString &text, RegistryTree &tree, QString *problem, qsizetype *skipped)
{
    const std::vector<QStringView> lines = splitLines(text);
    ScriptState state{tree, false, nullptr};
    QString reason;
    if (!checkScript(lines, reason, state.unicode)) {
        if (problem)
            *problem = reason;
        return false;
    }
    bool headerSeen = false;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        const QStringView line = meaningful(lines[i], i);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (!headerSeen) {
            headerSeen = true;
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            applySectionLine(line, state);
            continue;
        }
        QString name;
        QStringView data;
        if (!splitValueLine(line, name, data)) {
            ++state.skipped;
            continue;
        }
        // Only a continued hex list needs a text of its own.
        QString continued;
        if (isHexContinued(data) && i + 1 < qsizetype(lines.size())) {
            continued = data.toString();
            while (isHexContinued(continued) && i + 1 < qsizetype(lines.size())) {
                continued.chop(1);
                continued += lines[++i].trimmed();
            }
            data = continued;
        }
        applyValueLine(name, data, state);
    }
    if (skipped)
        *skipped = state.skipped;
    return true;
}

QByteArray RegFileFormat::serialize(const RegistryTree &tree)
{
    QByteArray out = (kHeader4 + QLatin1Char('\n')).toUtf8();
    // Key by key into UTF-8, so that the whole text is never held a second time.
    QString key;
    tree.forEachKey([&](const QString &path, const std::vector<const RegNamedValue *> &values, bool hasSubKeys) {
        // Parents are implied by their subkeys.
        if (values.empty() && hasSubKeys)
            return;
        key.clear();
        key += QStringLiteral("\n[");
        key += path;
        key += QStringLiteral("]\n");
        for (const RegNamedValue *entry : values)
            appendValueLine(key, *entry);
        out += key.toUtf8();
    });
    return out;
}
