#pragma once

#include <QString>

// The scripts that read the links of a page for a capture, run in the application's
// isolated world. The start script notes the page's documents and answers with the
// first part of the answer (see LinkAnswerReader), at most linksPerPart links; the
// next script answers each further part, and null once the whole answer has been
// given or when the page holds no capture under way (it was left or reloaded). A
// capture started anew replaces one under way in the same page.
QString linkCaptureScript(int linksPerPart);
// The start script that answers with the whole answer in one part.
const QString &linkCaptureScript();
const QString &linkCaptureNextScript();
