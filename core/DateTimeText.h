#pragma once

#include <QDateTime>
#include <QString>

// A moment as the program shows it: the system's short date and its long time
// without the zone ("7. 12. 2026 1:28:05").
QString dateTimeText(const QDateTime &moment);
