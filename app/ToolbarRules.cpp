#include "app/ToolbarRules.h"

#include "core/PathServices.h"

namespace ToolbarRules {

QString menuText(const QString &caption)
{
    QString text = caption;
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

std::vector<DropDownEntry> addressEntries(const std::vector<PresetEntry> &presets)
{
    std::vector<DropDownEntry> entries;
    for (const PresetEntry &preset : presets)
        entries.push_back({menuText(preset.caption), preset.value, true});
    return entries;
}

std::vector<DropDownEntry> saveEntries(const std::vector<PresetEntry> &presets)
{
    std::vector<DropDownEntry> entries;
    for (const PresetEntry &preset : presets) {
        if (preset.caption.isEmpty())
            entries.push_back({QStringLiteral(" nevyužito"), preset.value, false});
        else
            entries.push_back({menuText(preset.caption), preset.value, true});
    }
    return entries;
}

std::vector<DropDownEntry> quickEntries(const std::vector<PresetEntry> &presets)
{
    std::vector<DropDownEntry> entries;
    for (const PresetEntry &preset : presets) {
        const QString digit = QString::number(preset.index - 1);
        if (preset.caption.isEmpty())
            entries.push_back({QLatin1Char('&') + digit + QStringLiteral(" nevyužito"), preset.value, false});
        else
            entries.push_back({QLatin1Char('&') + digit + QLatin1Char(' ') + menuText(preset.caption), preset.value, true});
    }
    return entries;
}

std::vector<DropDownEntry> openWithEntries(const std::vector<PresetEntry> &presets)
{
    std::vector<DropDownEntry> entries;
    for (const PresetEntry &preset : presets) {
        const QString number = QString::number(preset.index);
        if (preset.caption.size() < 2)
            entries.push_back({number + QStringLiteral(" nevyužito"), preset.value, false});
        else
            entries.push_back({number + QLatin1Char(' ') + menuText(preset.caption), preset.value, true});
    }
    return entries;
}

QString savedPageFileName(const QString &title, const QString &locationName)
{
    QString name = title.isEmpty() ? locationName : title;
    SanitizeFileName(name);
    name += QStringLiteral(".htm");
    name.replace(QStringLiteral(".htm.htm"), QStringLiteral(".htm"), Qt::CaseInsensitive);
    name.replace(QStringLiteral(".html.htm"), QStringLiteral(".html"), Qt::CaseInsensitive);
    name.replace(QStringLiteral(".asp.htm"), QStringLiteral(".htm"), Qt::CaseInsensitive);
    return name;
}

int presetNumber(const QString &itemKey)
{
    if (itemKey.size() != 4 || !itemKey.startsWith(QStringLiteral("sav")))
        return 0;
    const int n = itemKey.right(1).toInt();
    return n >= 1 && n <= 5 ? n : 0;
}

} // namespace ToolbarRules
