#include "browser/AddressText.h"

#include <QFileInfo>
#include <QUrl>

namespace {

struct Code
{
    const char *code;
    const char *character;
};

// Applied in this order, each on the result of the one before.
constexpr Code kCodes[] = {
    {"%20", " "}, {"%DD", "Ý"}, {"%C1", "Á"}, {"%CD", "Í"}, {"%C9", "É"}, {"%FD", "ý"},
    {"%E1", "á"}, {"%ED", "í"}, {"%E9", "é"}, {"%5B", "["}, {"%5D", "]"}, {"%23", "#"},
    {"%7B", "{"}, {"%7D", "}"}, {"%26", "&"}, {"%25", "%"}, {"%A7", "§"},
};

QString decodedWithTable(const QString &text)
{
    QString result = text;
    for (const Code &code : kCodes)
        result.replace(QLatin1String(code.code), QString::fromUtf8(code.character), Qt::CaseSensitive);
    return result;
}

bool isFileAddress(const QString &text)
{
    return text.left(7).compare(QLatin1String("file://"), Qt::CaseInsensitive) == 0;
}

QString shownAddress(const QString &text)
{
    const QString normal = ToNormalText(text);
    // A native path loads as typed, with no decoding: only a file: address can carry
    // the escaped characters, and then "%", "#" and "?" must be escaped too.
    if (HasDeceptiveCharacters(normal) && isFileAddress(text) && !isFileAddress(normal))
        return QStringLiteral("file://") + EscapeDeceptiveCharacters(normal, QStringLiteral("%#?"));
    return ShownAddress(normal);
}

} // namespace

QString ToNormalText(const QString &text)
{
    // A local file shows as its native path.
    if (text.left(7).compare(QLatin1String("file://"), Qt::CaseInsensitive) == 0) {
        const QUrl url(QStringLiteral("file://") + text.mid(7));
        if (url.isValid() && url.isLocalFile())
            return url.toLocalFile();
    }
    const QString decoded = decodedWithTable(text);
    // The shown text is loaded again when the user presses Enter, so a decoding that
    // would name another address ("%2520" is not "%20") keeps the address as it is.
    if (decoded != text && QUrl::fromUserInput(decoded) != QUrl::fromUserInput(text))
        return text;
    return decoded;
}

QString ExtractResFile(const QString &url)
{
    const int hash = url.indexOf(QLatin1Char('#'));
    if (url.startsWith(QLatin1String("res:"), Qt::CaseSensitive) && hash >= 0)
        return shownAddress(url.mid(hash + 1));
    return shownAddress(url);
}

QString TitleShownFor(const QString &title, const QString &address)
{
    if (!isFileAddress(address))
        return title;
    const QUrl url(address);
    if (!url.isLocalFile())
        return title;
    const QString name = QFileInfo(url.toLocalFile()).fileName();
    // The engine names an untitled file by its address's last part, percent-encoded.
    if (name.isEmpty() || (title != name && QUrl::fromPercentEncoding(title.toUtf8()) != name))
        return title;
    return EscapeDeceptiveCharacters(name);
}
