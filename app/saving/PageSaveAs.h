#pragma once

#include <QString>

#include <functional>

class BrowserControl;

// Saving a page where the user chooses, as the engine's complete page: the document
// and, beside it, a folder of its images and styles named after it with "_files".
namespace PageSaveAs {

inline const QString FailedMessage = QStringLiteral("Stránku se nepodařilo uložit.");

// Offers the save-file dialog with the title as the name, until the user picks a
// name nothing has yet or cancels; "" when cancelled.
QString askTarget(const QString &title);

// Saves the control's page to the target. The engine writes into a staging folder in
// the program's private area (StagingFolder); the document and its files' folder then
// take their names through the file layer, which never replaces anything. done(true) once the page is in place; on a
// failure the user has been told.
void save(BrowserControl *web, const QString &target, std::function<void(bool saved)> done = {});

} // namespace PageSaveAs
