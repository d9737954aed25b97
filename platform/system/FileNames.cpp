#include "platform/system/FileNames.h"

#include <QStringDecoder>
#include <QUrl>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isEscapedByte(char16_t unit)
{
    return unit >= 0xDC80 && unit <= 0xDCFF;
}

// Whether the text needs more than the UTF-8 encoder: a surrogate, or a NUL, which no
// name holds and which would cut the bytes short where the system reads them.
bool needsCare(QStringView text)
{
    for (const QChar c : text) {
        if (c.isSurrogate() || c.isNull())
            return true;
    }
    return false;
}

// The length of the valid UTF-8 sequence at bytes[at], or 0 where none begins there
// (a stray continuation byte, an overlong form, a surrogate's encoding, beyond U+10FFFF,
// or cut short). code receives the character.
int validSequenceAt(QByteArrayView bytes, qsizetype at, char32_t &code)
{
    const auto byte = [&](qsizetype i) { return uchar(bytes[i]); };
    const uchar lead = byte(at);
    int length = 0;
    uchar low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        const uchar next = byte(at + k);
        if (k == 1 ? (next < low || next > high) : (next < 0x80 || next > 0xBF))
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    return length;
}

QString decodeEscaping(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        const uchar lead = uchar(bytes[at]);
        if (lead < 0x80) {
            out.append(QChar(char16_t(lead)));
            ++at;
            continue;
        }
        char32_t code = 0;
        const int length = validSequenceAt(bytes, at, code);
        if (length == 0) {
            out.append(QChar(char16_t(kEscapeBase + lead)));
            ++at;
            continue;
        }
        if (QChar::requiresSurrogates(code)) {
            out.append(QChar(QChar::highSurrogate(code)));
            out.append(QChar(QChar::lowSurrogate(code)));
        } else {
            out.append(QChar(char16_t(code)));
        }
        at += length;
    }
    return out;
}

void appendUtf8(QByteArray &out, char32_t code)
{
    if (code < 0x80) {
        out.append(char(code));
    } else if (code < 0x800) {
        out.append(char(0xC0 | (code >> 6)));
        out.append(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.append(char(0xE0 | (code >> 12)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    } else {
        out.append(char(0xF0 | (code >> 18)));
        out.append(char(0x80 | ((code >> 12) & 0x3F)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    }
}

QString windows1250(QByteArrayView bytes)
{
    QStringDecoder decoder("windows-1250", QStringDecoder::Flag::Stateless);
    return decoder.isValid() ? QString(decoder(bytes)) : QString::fromLatin1(bytes);
}

} // namespace

QString decodeFileName(QByteArrayView bytes)
{
    // Most names are ASCII: no decoder to set up for each of a folder's 100,000 names.
    bool ascii = true;
    for (const char byte : bytes) {
        if (uchar(byte) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(bytes);
    if (!decoder.hasError())
        return text;
    return decodeEscaping(bytes);
}

bool encodeFileName(QStringView name, QByteArray &out)
{
    out.clear();
    if (!needsCare(name)) {
        out = name.toUtf8();
        return true;
    }
    out.reserve(name.size() * 3);
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c.isNull()) {
            out.clear();
            return false;
        }
        if (!c.isSurrogate()) {
            appendUtf8(out, c.unicode());
        } else if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            appendUtf8(out, QChar::surrogateToUcs4(c, name[i + 1]));
            ++i;
        } else if (isEscapedByte(c.unicode())) {
            out.append(char(c.unicode() - kEscapeBase));
        } else {
            out.clear();
            return false;
        }
    }
    return true;
}

QByteArray encodeFileName(QStringView name)
{
    QByteArray out;
    encodeFileName(name, out);
    return out;
}

bool holdsUndecodedBytes(QStringView name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return true;
    }
    return false;
}

QString undecodedNameMark()
{
    return QStringLiteral(" [není UTF-8]");
}

QString shownFileName(QStringView name)
{
    if (!holdsUndecodedBytes(name))
        return name.toString();
    // Each step of a path on its own: the folders above may well be UTF-8.
    QString shown;
    const QList<QStringView> steps = name.split(QLatin1Char('/'));
    for (qsizetype i = 0; i < steps.size(); ++i) {
        if (i > 0)
            shown += QLatin1Char('/');
        shown += holdsUndecodedBytes(steps[i]) ? windows1250(encodeFileName(steps[i])) : steps[i].toString();
    }
    return shown + undecodedNameMark();
}

QString typedFileName(const QString &text)
{
    if (!holdsUndecodedBytes(text))
        return text;
    QString typed = text;
    for (qsizetype i = 0; i < typed.size(); ++i) {
        if (typed[i].isHighSurrogate() && i + 1 < typed.size() && typed[i + 1].isLowSurrogate())
            ++i;
        else if (typed[i].isSurrogate())
            typed[i] = QChar::ReplacementCharacter;
    }
    return typed;
}

QString pathAsAddress(const QString &path)
{
    return holdsUndecodedBytes(path) ? fileAddress(path) : path;
}

QString fileAddress(const QString &path)
{
    if (!holdsUndecodedBytes(path))
        return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    // QUrl would take the bytes for text; the address carries them as they are.
    return QString::fromLatin1("file://" + encodeFileName(path).toPercentEncoding("/!$&'()*+,;=:@~"));
}
