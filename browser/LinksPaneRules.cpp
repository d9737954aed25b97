#include "browser/LinksPaneRules.h"

#include "browser/CapturedLinksPage.h"
#include "browser/LinkSnapshot.h"

#include <QHash>

LinksCommand linksCommand(const QString &key)
{
    using K = LinksCommandKind;
    static const QHash<QString, LinksCommand> commands = {
        {QStringLiteral("add"), {K::Capture, LinkCaptureMode::All}},
        {QStringLiteral("addall"), {K::Capture, LinkCaptureMode::All}},
        {QStringLiteral("addlocal"), {K::Capture, LinkCaptureMode::Local}},
        {QStringLiteral("addout"), {K::Capture, LinkCaptureMode::Outgoing}},
        {QStringLiteral("addalltext"), {K::Capture, LinkCaptureMode::AllWithText}},
        {QStringLiteral("addlocaltext"), {K::Capture, LinkCaptureMode::LocalWithText}},
        {QStringLiteral("addouttext"), {K::Capture, LinkCaptureMode::OutgoingWithText}},
        {QStringLiteral("save"), {K::Save, LinkSaveMode::All}},
        {QStringLiteral("saveall"), {K::Save, LinkSaveMode::All}},
        {QStringLiteral("saveemail"), {K::Save, LinkSaveMode::EmailOnly}},
        {QStringLiteral("savenonemail"), {K::Save, LinkSaveMode::AllButEmail}},
        {QStringLiteral("remove"), {K::RemoveSelected, 0}},
        {QStringLiteral("removeall"), {K::RemoveAll, 0}},
        {QStringLiteral("removeemail"), {K::RemoveEmail, 0}},
    };
    return commands.value(key);
}

Qt::SortOrder flippedSortOrder(Qt::SortOrder order)
{
    return order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
}

int mouseButtonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}
