#include "browser/InspectorTable.h"

#include <gtest/gtest.h>

using InspectorTable::parameterText;
using InspectorTable::tagText;

namespace {
QVariantMap element(std::initializer_list<std::pair<const char *, QVariant>> values)
{
    QVariantMap map;
    for (const auto &[name, value] : values)
        map.insert(QString::fromLatin1(name), value);
    return map;
}
} // namespace

TEST(InspectorTable, ListedTagsShowTheirParameters)
{
    struct Case { const char *name; QVariantMap element; QString expected; } cases[] = {
        {"link", element({{"tag", "A"}, {"href", "http://127.0.0.1/a.html"}}), QStringLiteral("http://127.0.0.1/a.html")},
        {"image", element({{"tag", "IMG"}, {"href", "file:///tmp/x.png"}}), QStringLiteral("file:///tmp/x.png")},
        {"body", element({{"tag", "BODY"}, {"selectionType", "None"}}), QStringLiteral("None")},
        {"font", element({{"tag", "FONT"}, {"size", "3"}, {"face", "Arial"}, {"color", "#ff0000"}}),
         QStringLiteral("s: 3; f: Arial; c: #ff0000")},
        {"italic inside a font", element({{"tag", "I"}, {"parentSize", "2"}, {"parentFace", ""}, {"parentColor", "red"}}),
         QStringLiteral("s: 2; f: ; c: red")},
        {"input in a form", element({{"tag", "INPUT"}, {"name", "q"}, {"type", "text"}, {"parentAction", "http://h/s"}}),
         QStringLiteral("n: q; t: text; a: http://h/s")},
        {"absent attributes are empty", element({{"tag", "FONT"}, {"size", ""}, {"face", ""}, {"color", ""}}),
         QStringLiteral("s: ; f: ; c: ")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parameterText(c.element), std::optional<QString>(c.expected));
    }
}

TEST(InspectorTable, OtherTagsAndUnreadableValuesLeavePanelFiveAsItWas)
{
    struct Case { const char *name; QVariantMap element; } cases[] = {
        {"table cell", element({{"tag", "TD"}})},
        {"div", element({{"tag", "DIV"}, {"href", "x"}})},
        {"empty tag", element({{"tag", ""}})},
        {"tags compare exactly", element({{"tag", "a"}, {"href", "x"}})},
        {"input outside a form's own children", element({{"tag", "INPUT"}, {"name", "q"}, {"type", "text"}, {"parentAction", QVariant()}})},
        {"italic whose parent has no size", element({{"tag", "I"}, {"parentFace", "x"}, {"parentColor", "y"}})},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parameterText(c.element), std::nullopt);
    }
}

TEST(InspectorTable, TheAddressIsPutBackOnlyWhenItDiffersAndTheUserIsNotTyping)
{
    const QString page = QStringLiteral("file:///tmp/a.html");
    struct Case { const char *name; bool active, focus; QString combo; bool expected; } cases[] = {
        {"another address shown", true, false, QStringLiteral("x"), true},
        {"same address", true, false, page, false},
        {"the user is typing", true, true, QStringLiteral("htt"), false},
        {"a background window", false, false, QStringLiteral("x"), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(InspectorTable::needsAddressResync(c.active, c.focus, c.combo, page), c.expected);
    }
}
