#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

// What the status bar shows for the element under the mouse. The element arrives as
// values read in the page: "tag" (upper case) and the attributes the table needs
// ("href", "size", "face", "color", "parentSize", "parentFace", "parentColor",
// "name", "type", "parentAction", "selectionType"); a value the page could not read
// is missing or null, an absent attribute is an empty text.
namespace InspectorTable {

// Panel 4: the tag name.
QString tagText(const QVariantMap &element);
// Panel 5: the parameters for the tag, or nothing when the panel keeps its text
// (a tag the table does not list, or a value that could not be read).
std::optional<QString> parameterText(const QVariantMap &element);

} // namespace InspectorTable

namespace InspectorTable {

// The page's address goes back into the address combo when the window is the active
// one and the combo shows something else, but never while the user types in it (an
// item chosen from the combo's list is not typed text).
bool needsAddressResync(bool activeWindow, bool userTyping, const QString &comboText, const QString &pageAddress);

} // namespace InspectorTable
