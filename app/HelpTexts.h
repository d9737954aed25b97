#pragma once

#include <QString>

// The texts of the Help menu's commands.
namespace HelpTexts {

// The help file the program ships with; empty, since it ships none.
inline const QString HelpFile;
inline const QString NoHelpMessage =
    QStringLiteral("Unable to display Help Contents. There is no Help associated with this project.");
inline const QString AboutTitle = QStringLiteral("O programu Vorlan");

// The About box's lines, joined by CR LF.
QString aboutText();
// A new message to technical support, subject and body filled in.
QString supportMailto();
// The project's home page, its query carrying the product code and the revision.
QString homePageAddress();
// The offline command's log text: the new tick, the two task ids, and whether the
// two import files exist.
QString offlineLogText(bool ticked, bool offlineFileExists, bool onlineFileExists);

} // namespace HelpTexts
