#pragma once

#include <QStringList>

// The address combo's list of visited addresses: shared by all windows, kept for the
// run, without a length limit.

// The list after the page at address has loaded: an earlier entry of the same address
// moves to the end, only web and ftp addresses are kept.
QStringList addressHistoryAfterVisit(QStringList entries, const QString &address);
