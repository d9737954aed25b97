#include "platform/store/RegFileFormat.h"

#include "platform/store/RegistryTree.h"

#include <QStringDecoder>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
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
    explicit ScriptState(RegistryTree &target)
        : tree(target)
    {
    }

    RegistryTree &tree;
    bool unicode = false;             // version 5.00 scripts keep hex(1), hex(2) and hex(7) text in UTF-16
    RegistryTree::Key *key = nullptr; // null while no usable section is open
    // The parent of the last section opened: the sections of a file mostly follow
    // one another below one parent, which is then not looked up again.
    RegistryTree::Key *parent = nullptr;
    QString parentPath;
    qsizetype skipped = 0;            // lines that did not parse or had no usable section
    // Recently read value names and short data, shared by the values that repeat
    // them: a registry of many small keys repeats a few names and texts over and over.
    static constexpr qsizetype ShareUpTo = 64;
    std::array<QString, 64> names;
    std::array<std::pair<QString, QByteArray>, 64> texts;
    std::array<QByteArray, 64> data;

    QString name(QStringView text)
    {
        if (text.size() > ShareUpTo)
            return text.toString();
        QString &seen = names[qHash(text) % names.size()];
        if (seen != text)
            seen = text.toString();
        return seen;
    }

    // A text as a string value stores it: UTF-8 with its NUL.
    QByteArray stored(QStringView text)
    {
        const auto bytes = [&] {
            QByteArray utf8 = text.toUtf8();
            utf8 += '\0';
            return utf8;
        };
        if (text.size() > ShareUpTo)
            return bytes();
        auto &[seen, seenBytes] = texts[qHash(text) % texts.size()];
        if (seen != text || seenBytes.isNull()) {
            seen = text.toString();
            seenBytes = bytes();
        }
        return seenBytes;
    }

    void share(QByteArray &bytes)
    {
        if (bytes.size() > ShareUpTo)
            return;
        QByteArray &seen = data[qHash(bytes) % data.size()];
        if (seen == bytes)
            bytes = seen;
        else
            seen = bytes;
    }
};

// The lines of a text, without their ends; views into the text.
class TextLines
{
public:
    explicit TextLines(const QString &text)
        : m_text(text)
    {
    }

    bool next(QStringView &line)
    {
        if (m_pos > m_text.size())
            return false;
        qsizetype end = m_text.indexOf(QLatin1Char('\n'), m_pos);
        if (end < 0)
            end = m_text.size();
        line = QStringView(m_text).sliced(m_pos, end - m_pos);
        m_pos = end + 1;
        return true;
    }

private:
    const QString &m_text;
    qsizetype m_pos = 0;
};

// Whether bytes are UTF-8 as the decoder takes it: no overlong forms, no surrogates,
// nothing above U+10FFFF, no sequence cut short.
bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const uchar *const end = p + bytes.size();
    while (p < end) {
        // Plain ASCII eight bytes at a time.
        while (end - p >= 8) {
            quint64 block;
            std::memcpy(&block, p, 8);
            if (block & 0x8080808080808080ull)
                break;
            p += 8;
        }
        if (p == end)
            break;
        const uchar c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int length = 0;
        char32_t least = 0;
        char32_t code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            least = 0x80;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            least = 0x800;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            least = 0x10000;
            code = c & 0x07;
        } else {
            return false;
        }
        if (end - p < length)
            return false;
        for (int k = 1; k < length; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[k] & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += length;
    }
    return true;
}

QStringDecoder windows1250Decoder()
{
    QStringDecoder decoder("windows-1250", QStringConverter::Flag::Stateless);
    return decoder.isValid() ? std::move(decoder) : QStringDecoder(QStringDecoder::Latin1);
}

// One line's text: UTF-8 where the line's bytes are valid UTF-8, Windows-1250 where
// they are not. A value a program wrote in the older encoding then changes no other
// line's text. The text stays valid until the next line is decoded.
class LineDecoder
{
public:
    QStringView decode(QByteArrayView bytes)
    {
        if (m_buffer.size() < bytes.size())
            m_buffer.resize(bytes.size());
        QStringDecoder &decoder = isValidUtf8(bytes) ? m_utf8 : m_windows1250;
        const QChar *stop = decoder.appendToBuffer(m_buffer.data(), bytes);
        return QStringView(m_buffer.constData(), stop - m_buffer.constData());
    }

private:
    QStringDecoder m_utf8{QStringDecoder::Utf8, QStringConverter::Flag::Stateless | kKeepMark};
    QStringDecoder m_windows1250 = windows1250Decoder();
    QString m_buffer;
};

// The lines of a file's bytes, each decoded on its own when it is reached, so that a
// large file is never held as text as well.
class ByteLines
{
public:
    explicit ByteLines(QByteArrayView bytes)
        : m_bytes(bytes)
    {
    }

    bool next(QStringView &line)
    {
        if (m_pos > m_bytes.size())
            return false;
        qsizetype end = m_bytes.indexOf('\n', m_pos);
        if (end < 0)
            end = m_bytes.size();
        const QByteArrayView bytes = m_bytes.sliced(m_pos, end - m_pos);
        m_pos = end + 1;
        line = m_decoder.decode(bytes);
        return true;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    LineDecoder m_decoder;
};

// Reads a quoted text whose opening quote is at pos; "\\" and "\"" are escapes.
// Returns the position after the closing quote, or -1 when it is missing. The text
// is a view into the line when it holds no escape, else into storage.
qsizetype readQuoted(QStringView line, qsizetype pos, QStringView &text, QString &storage)
{
    // Most texts hold no escape: taken whole.
    const qsizetype close = line.indexOf(kQuote, pos + 1);
    if (close >= 0 && !line.sliced(pos + 1, close - pos - 1).contains(kBackslash)) {
        text = line.sliced(pos + 1, close - pos - 1);
        return close + 1;
    }
    storage.clear();
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == kBackslash && i + 1 < line.size() && (line.at(i + 1) == kBackslash || line.at(i + 1) == kQuote)) {
            storage += line.at(++i);
        } else if (c == kQuote) {
            text = storage;
            return i + 1;
        } else {
            storage += c;
        }
    }
    return -1;
}

bool splitValueLine(QStringView line, QStringView &name, QString &nameStorage, QStringView &data)
{
    qsizetype pos = 1;
    if (line.startsWith(QLatin1Char('@')))
        name = QStringView();
    else if (!line.startsWith(kQuote) || (pos = readQuoted(line, 0, name, nameStorage)) < 0)
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

std::optional<RegValue> parseString(QStringView data, ScriptState &state)
{
    QStringView text;
    QString storage;
    if (readQuoted(data, 0, text, storage) < 0)
        return std::nullopt;
    return RegValue{RegType::String, state.stored(text)};
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

void applyValueLine(QStringView name, QStringView data, ScriptState &state)
{
    if (!state.key) {
        ++state.skipped;
        return;
    }
    if (data == QLatin1String("-")) {
        RegistryTree::removeValue(*state.key, name.toString());
        return;
    }
    std::optional<RegValue> value;
    if (data.startsWith(kQuote))
        value = parseString(data, state);
    else if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive))
        value = parseDword(data.sliced(6).trimmed());
    else if (data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive))
        value = parseHex(data, state.unicode);
    if (value) {
        if (value->type != RegType::String)
            state.share(value->data);
        RegistryTree::setValue(*state.key, state.name(name), *value);
    } else {
        ++state.skipped;
    }
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
    if (remove) {
        state.tree.removeKey(path);
        state.parent = nullptr;
        return;
    }
    // The script was checked for keys too deep.
    const qsizetype last = path.lastIndexOf(kBackslash);
    if (last <= 0 || last + 1 == path.size()) {
        state.key = state.tree.createKey(path);
        return;
    }
    const QStringView parentPath = QStringView(path).first(last);
    if (!state.parent || parentPath != state.parentPath) {
        state.parentPath = parentPath.toString();
        state.parent = state.tree.createKey(state.parentPath);
    }
    if (state.parent)
        state.key = &RegistryTree::createSubKey(*state.parent, QStringView(path).sliced(last + 1));
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

// Checks one line for what would make the whole script unreadable; false with the
// problem in words when it does.
bool checkLine(QStringView raw, qsizetype i, bool &headerSeen, bool &unicode, QString &problem)
{
    if (raw.size() > RegFileFormat::MaxLineLength) {
        problem = QStringLiteral("řádek %1 je delší než %2 MB").arg(i + 1).arg(RegFileFormat::MaxLineLength >> 20);
        return false;
    }
    const QStringView line = meaningful(raw, i);
    if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
        return true;
    if (!headerSeen) {
        if (line != kHeader4 && line != kHeader5) {
            problem = QStringLiteral("chybí záhlaví REGEDIT4");
            return false;
        }
        headerSeen = true;
        unicode = line == kHeader5;
    } else if (isSectionLine(line) && RegistryTree::depthOf(line.sliced(1, line.size() - 2)) > RegistryTree::MaxDepth) {
        problem =
            QStringLiteral("klíč na řádku %1 je zanořen hlouběji než %2 úrovní").arg(i + 1).arg(RegistryTree::MaxDepth);
        return false;
    }
    return true;
}

// Checks what would make the whole script unreadable before anything of it is applied.
bool checkScript(TextLines &lines, QString &problem, bool &unicode)
{
    bool headerSeen = false;
    QStringView raw;
    for (qsizetype i = 0; lines.next(raw); ++i) {
        if (!checkLine(raw, i, headerSeen, unicode, problem))
            return false;
    }
    if (!headerSeen)
        problem = QStringLiteral("chybí záhlaví REGEDIT4");
    return headerSeen;
}

// The same check on a file's bytes, decoding only the lines that can matter: those up
// to the header, any whose bytes exceed the line limit, and section lines with more
// separators than the depth limit (each character takes at least one byte).
bool checkScript(QByteArrayView bytes, QString &problem, bool &unicode)
{
    LineDecoder decoder;
    bool headerSeen = false;
    qsizetype pos = 0;
    for (qsizetype i = 0; pos <= bytes.size(); ++i) {
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            end = bytes.size();
        const QByteArrayView line = bytes.sliced(pos, end - pos);
        pos = end + 1;
        if (headerSeen && line.size() <= RegFileFormat::MaxLineLength
            && std::count(line.begin(), line.end(), '\\') <= RegistryTree::MaxDepth)
            continue;
        if (!checkLine(decoder.decode(line), i, headerSeen, unicode, problem))
            return false;
    }
    if (!headerSeen)
        problem = QStringLiteral("chybí záhlaví REGEDIT4");
    return headerSeen;
}

// Applies the lines of a script that checkScript accepted.
template <typename Lines>
void applyScript(Lines &lines, ScriptState &state)
{
    bool headerSeen = false;
    QStringView raw;
    for (qsizetype i = 0; lines.next(raw); ++i) {
        const QStringView line = meaningful(raw, i);
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
        QStringView name;
        QString nameStorage;
        QStringView data;
        if (!splitValueLine(line, name, nameStorage, data)) {
            ++state.skipped;
            continue;
        }
        // Only a continued hex list needs a text of its own.
        QString continued;
        if (isHexContinued(data)) {
            // The next lines may take the place of this one.
            nameStorage = name.toString();
            name = nameStorage;
            continued = data.toString();
            QStringView more;
            while (isHexContinued(continued) && lines.next(more)) {
                ++i;
                continued.chop(1);
                continued += more.trimmed();
            }
            data = continued;
        }
        applyValueLine(name, data, state);
    }
}

template <typename Lines, typename Checked>
bool applyLines(Lines &lines, Checked &checked, RegistryTree &tree, QString *problem, qsizetype *skipped)
{
    ScriptState state(tree);
    QString reason;
    if (!checkScript(checked, reason, state.unicode)) {
        if (problem)
            *problem = reason;
        return false;
    }
    applyScript(lines, state);
    if (skipped)
        *skipped = state.skipped;
    return true;
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

// Whether a string value is plain ASCII that goes between the quotes as it is.
bool isPlainAscii(const RegValue &value)
{
    const QByteArray &data = value.data;
    if (value.type != RegType::String || data.isEmpty() || data.back() != '\0')
        return false;
    for (qsizetype i = 0; i + 1 < data.size(); ++i) {
        const char c = data[i];
        if (c < 0x20 || c > 0x7E || c == '"' || c == '\\')
            return false;
    }
    return true;
}

void appendData(QString &out, const RegValue &value, qsizetype column)
{
    if (isPlainAscii(value)) {
        out += kQuote;
        out += QLatin1StringView(value.data.constData(), value.data.size() - 1);
        out += kQuote;
        return;
    }
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
    const QByteArrayView body = QByteArrayView(bytes).sliced(bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0);
    if (isValidUtf8(body))
        return QStringDecoder(QStringDecoder::Utf8, kKeepMark)(body);
    QString text;
    text.reserve(body.size());
    ByteLines lines(body);
    QStringView line;
    for (bool first = true; lines.next(line); first = false) {
        if (!first)
            text += QLatin1Char('\n');
        text += line;
    }
    return text;
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
    TextLines checked(text);
    TextLines lines(text);
    return applyLines(lines, checked, tree, problem, skipped);
}

bool RegFileFormat::applyBytes(const QByteArray &bytes, RegistryTree &tree, QString *problem, qsizetype *skipped)
{
    // UTF-16 is decoded whole; anything else line by line, as decode does.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return apply(decode(bytes), tree, problem, skipped);
    const QByteArrayView body = QByteArrayView(bytes).sliced(bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0);
    ByteLines lines(body);
    return applyLines(lines, body, tree, problem, skipped);
}

QByteArray RegFileFormat::serialize(const RegistryTree &tree)
{
    QByteArray out = (kHeader4 + QLatin1Char('\n')).toUtf8();
    // Key by key into UTF-8, so that the whole text is never held a second time.
    QString key;
    QStringEncoder utf8(QStringEncoder::Utf8);
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
        const qsizetype at = out.size();
        out.resize(at + key.size() * 3);
        out.truncate(utf8.appendToBuffer(out.data() + at, key) - out.constData());
    });
    return out;
}
