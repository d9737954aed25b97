#include "browser/InspectorTable.h"

#include <QStringList>

#include <initializer_list>

namespace InspectorTable {

namespace {

// The values joined behind their labels; nothing when any of them was not read.
std::optional<QString> labelled(const QVariantMap &element,
                                std::initializer_list<std::pair<const char *, const char *>> parts)
{
    QString text;
    for (const auto &[label, name] : parts) {
        const QVariant value = element.value(QString::fromLatin1(name));
        if (!value.isValid() || value.isNull())
            return std::nullopt;
        text += QString::fromLatin1(label) + value.toString();
    }
    return text;
}

} // namespace

QString tagText(const QVariantMap &element)
{
    return element.value(QStringLiteral("tag")).toString();
}

std::optional<QString> parameterText(const QVariantMap &element)
{
    const QString tag = tagText(element);
    if (tag == QLatin1String("A") || tag == QLatin1String("IMG"))
        return labelled(element, {{"", "href"}});
    if (tag == QLatin1String("BODY"))
        return labelled(element, {{"", "selectionType"}});
    if (tag == QLatin1String("FONT"))
        return labelled(element, {{"s: ", "size"}, {"; f: ", "face"}, {"; c: ", "color"}});
    if (tag == QLatin1String("I"))
        return labelled(element, {{"s: ", "parentSize"}, {"; f: ", "parentFace"}, {"; c: ", "parentColor"}});
    if (tag == QLatin1String("INPUT"))
        return labelled(element, {{"n: ", "name"}, {"; t: ", "type"}, {"; a: ", "parentAction"}});
    return std::nullopt;
}

} // namespace InspectorTable

namespace InspectorTable {

bool needsAddressResync(bool activeWindow, bool userTyping, const QString &comboText, const QString &pageAddress)
{
    return activeWindow && !userTyping && comboText != pageAddress;
}

} // namespace InspectorTable
