#pragma once

#include <QString>

// The script that reads the links of a page for a capture: run in the application's
// isolated world, it answers with one JSON text (see pageSnapshotFromJson) holding
// the top document and every direct frame whose document it may read; a frame of
// another origin is left out.
const QString &linkCaptureScript();
