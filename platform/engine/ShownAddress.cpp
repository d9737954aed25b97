#include "platform/engine/ShownAddress.h"

#include <QUrl>

namespace {

bool isDeceptive(char32_t c)
{
    return c == 0x061C || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || (c >= 0x200B && c <= 0x200F)
        || c == 0xFEFF || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// Calls visit(code point, its text) for each character, surrogate pairs joined.
template<typename Visit>
void forEachCharacter(const QString &text, Visit visit)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const char32_t c = length == 2 ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
        visit(c, QStringView(text).mid(i, length));
        i += length;
    }
}

bool isPlainAscii(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// A letter of the Latin script, or a mark that accents one.
bool readsAsLatin(char32_t c)
{
    if (c < 0x80)
        return true;
    const QChar::Script script = QChar::script(c);
    switch (QChar::category(c)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase: return script == QChar::Script_Latin;
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining: return script == QChar::Script_Latin || script == QChar::Script_Inherited;
    default: return false;
    }
}

// Where the host of "scheme://[user@]host[:port]..." lies in the text; empty when none.
std::pair<qsizetype, qsizetype> hostSpan(const QString &address)
{
    qsizetype i = 0;
    while (i < address.size() && (address.at(i).isLetterOrNumber() || address.at(i) == QLatin1Char('+')
                                  || address.at(i) == QLatin1Char('-') || address.at(i) == QLatin1Char('.')))
        ++i;
    if (i == 0 || !address.at(0).isLetter() || !QStringView(address).mid(i).startsWith(QLatin1String("://")))
        return {0, 0};
    const qsizetype authority = i + 3;
    qsizetype end = authority;
    while (end < address.size() && !QStringLiteral("/?#\\").contains(address.at(end)))
        ++end;
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'), end - 1);
    const qsizetype start = at >= authority ? at + 1 : authority;
    if (start < address.size() && address.at(start) == QLatin1Char('['))
        return {0, 0}; // an IPv6 address: digits only
    const qsizetype colon = address.indexOf(QLatin1Char(':'), start);
    return {start, colon >= 0 && colon < end ? colon : end};
}

} // namespace

QString ShownHost(const QString &host)
{
    if (isPlainAscii(host) && !host.contains(QLatin1String("xn--"), Qt::CaseInsensitive))
        return host;
    const QByteArray ace = QUrl::toAce(host);
    if (ace.isEmpty())
        return host;
    const QString unicode = QUrl::fromAce(ace, QUrl::IgnoreIDNWhitelist);
    bool latin = true;
    forEachCharacter(unicode, [&](char32_t c, QStringView) { latin = latin && readsAsLatin(c); });
    return latin ? unicode : QString::fromLatin1(ace);
}

QString ShownAddress(const QString &address)
{
    const auto [start, end] = hostSpan(address);
    if (end <= start)
        return EscapeDeceptiveCharacters(address);
    const QString host = address.mid(start, end - start);
    const QString shown = ShownHost(host);
    if (shown == host)
        return EscapeDeceptiveCharacters(address);
    return EscapeDeceptiveCharacters(address.left(start) + shown + address.mid(end));
}

QString EscapeDeceptiveCharacters(const QString &text, const QString &also)
{
    if (!HasDeceptiveCharacters(text) && also.isEmpty())
        return text;
    QString result;
    result.reserve(text.size());
    forEachCharacter(text, [&](char32_t c, QStringView character) {
        if (isDeceptive(c) || (c < 0x80 && also.contains(character)))
            result += QString::fromLatin1(character.toUtf8().toPercentEncoding());
        else
            result += character;
    });
    return result;
}

bool HasDeceptiveCharacters(const QString &text)
{
    bool found = false;
    forEachCharacter(text, [&](char32_t c, QStringView) { found = found || isDeceptive(c); });
    return found;
}
