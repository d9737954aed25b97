#pragma once

#include <QString>

// The question the engine asks before a page that has a leave handler goes (closing
// its window, a typed address, going back): the engine brings its own sentence, in
// English; the program gives it in Czech.
namespace LeaveQuestion {

// The question as the user reads it.
QString text();
// Makes the engine ask in Czech; once per run, from the first page on.
void translate();
// Whether a confirmation the engine asks for is that question.
bool isLeaveQuestion(const QString &message);

} // namespace LeaveQuestion
