#pragma once

#include <QtGlobal>

// What this process may use of the machine.
namespace ProcessLimits {

// The cores the process may run on (fewer than the machine has under taskset, say);
// at least 1.
int usableCores();

// How many files the process may hold open at once (its soft limit); -1 when there is
// no limit.
qint64 openFiles();

} // namespace ProcessLimits
