#pragma once

#include <QString>
#include <QStringList>

// Starts a program that lives on by itself: it is nobody's child here, so it never
// lingers as a zombie and outlives this process. The arguments go over one by one,
// no shell sees them. Raises "File not found" with the errno of the call that failed
// (the program's own start included) as its system error.
void startDetachedProcess(const QString &program, const QStringList &arguments);
