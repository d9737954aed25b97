#include "browser/AddressText.h"

namespace {

struct Code
{
    const char *code;
    const char *character;
};

// The order matters: "%25" comes after "%20", so "%2520" shows as "%20".
constexpr Code kCodes[] = {
    {"%20", " "}, {"%DD", "Ý"}, {"%C1", "Á"}, {"%CD", "Í"}, {"%C9", "É"}, {"%FD", "ý"},
    {"%E1", "á"}, {"%ED", "í"}, {"%E9", "é"}, {"%5B", "["}, {"%5D", "]"}, {"%23", "#"},
    {"%7B", "{"}, {"%7D", "}"}, {"%26", "&"}, {"%25", "%"}, {"%A7", "§"},
};

} // namespace

QString ToNormalText(const QString &text)
{
    QString result = text;
    for (const Code &code : kCodes)
        result.replace(QLatin1String(code.code), QString::fromUtf8(code.character), Qt::CaseSensitive);
    // A local file shows as its path. Paths here are native, so the slashes stay and
    // the leading one (the root) is kept.
    if (result.left(7).compare(QLatin1String("file://"), Qt::CaseInsensitive) == 0)
        result = result.mid(7);
    return result;
}

QString ExtractResFile(const QString &url)
{
    const int hash = url.indexOf(QLatin1Char('#'));
    if (url.startsWith(QLatin1String("res:"), Qt::CaseSensitive) && hash >= 0)
        return ToNormalText(url.mid(hash + 1));
    return ToNormalText(url);
}
