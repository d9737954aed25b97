#pragma once

#include <QString>

// The question the engine asks before a page that has a leave handler goes (closing
// its window, a typed address, going back): the engine brings its own sentence, in
// English; the program gives it in Czech. The engine is made to hand it over as a text
// that is new for every run, so that a page's own confirmation, whatever it says, is
// never taken for it.
namespace LeaveQuestion {

// The question as the user reads it.
QString text();
// Makes the engine hand over its question as the run's own text; once per run, from the
// first page on.
void translate();
// Whether a confirmation the engine asks for is that question (never a page's own).
bool isLeaveQuestion(const QString &message);

} // namespace LeaveQuestion
