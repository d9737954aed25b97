#include "options/OptionValues.h"

#include <QStringList>

namespace OptionValues {

namespace {

const std::array<const char *, FileTypeCount + 1> kTags = {
    "",
    "*.html;*.htm;*.xml;*.sht*;*.sgm*;",
    "*.asp;*.asa;",
    "*.txt;*.inc;",
    "*.php;*.php3;*.phtml;",
    "*.png;",
    "*.zip;*.cab;",
    "*.css;",
    "*.doc;",
    "*.xls;*.xlw;",
    "*.ppt;*.pps;",
    "*.pdf;",
    "*.vbs;*.js;",
    "*.class;",
    "*.vbd;",
    "*.avi;",
    "*.jpg;*.jpeg;*.jpe;",
    "*.gif;",
    "*.bmp;",
    "*.wav;*.mp3;",
    "*.mid;*.midi;*.rmi;",
    "*.mpe;*.mpeg;*.mpg;",
    "*.mht;*.mhtml;",
};

} // namespace

QString fileTypeTag(int index)
{
    if (index < 1 || index > FileTypeCount)
        return {};
    return QString::fromLatin1(kTags[size_t(index)]);
}

bool patternHasGroup(const QString &pattern, const QString &tag)
{
    const QStringList items = pattern.split(QLatin1Char(';'));
    QStringList group = tag.split(QLatin1Char(';'));
    if (!group.isEmpty() && group.last().isEmpty())
        group.removeLast();
    if (group.isEmpty())
        return false;
    for (qsizetype start = 0; start + group.size() <= items.size(); ++start) {
        bool whole = true;
        for (qsizetype i = 0; i < group.size() && whole; ++i)
            whole = items[start + i].compare(group[i], Qt::CaseInsensitive) == 0;
        if (whole)
            return true;
    }
    return false;
}

QString userTypesPart(const QString &typed)
{
    QString part = typed + QLatin1Char(';');
    part.replace(QLatin1Char(' '), QLatin1Char(';'));
    part.replace(QLatin1Char(','), QLatin1Char(';'));
    part.replace(QStringLiteral(";;"), QStringLiteral(";"));
    return part;
}

QString buildPattern(const PatternChoice &choice)
{
    QString pattern;
    for (int i = 1; i <= FileTypeCount; ++i) {
        if (choice.types[size_t(i)])
            pattern += fileTypeTag(i);
    }
    if (choice.custom)
        pattern += userTypesPart(choice.userTypes);
    if (!pattern.isEmpty())
        pattern.chop(1);
    if (choice.all)
        pattern = AllFiles;
    if (choice.none)
        pattern = NoFiles;
    return pattern;
}

QString filesListPattern(const QString &pattern)
{
    return pattern.isEmpty() ? NoFiles : pattern;
}

int ConvertToBoolean(const QString &text)
{
    return text == QStringLiteral("yes") ? 1 : 0;
}

QString ChangeBlank(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("about:blank") : text;
}

QString switchText(bool ticked)
{
    return ticked ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace OptionValues
