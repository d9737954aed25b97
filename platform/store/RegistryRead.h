#pragma once

#include "platform/store/Registry.h"

#include <QString>
#include <QStringList>

#include <optional>

// Reads of the emulated registry that never raise: a registry that cannot be read
// answers like one without the value, and the caller's current error stays as it
// was (the caller may still be about to log it).
namespace RegistryRead {

std::optional<RegValue> value(RegRoot root, const QString &subKey, const QString &name);
// A 32-bit number: only a REG_DWORD of exactly four bytes is one.
std::optional<qint32> dword(RegRoot root, const QString &subKey, const QString &name);
QStringList valueNames(RegRoot root, const QString &subKey);

// True while the browser works offline ("GlobalUserOffline" is 1).
bool isOffline();

} // namespace RegistryRead
