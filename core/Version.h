#pragma once

#include <QString>

// The program's version; every text that shows it writes the numbers in plain decimal.
namespace Version {
constexpr int Major = VORLAN_VERSION_MAJOR;
constexpr int Minor = VORLAN_VERSION_MINOR;
constexpr int Revision = VORLAN_VERSION_REVISION;
inline QString appTitle() { return QStringLiteral("Vorlan"); }
} // namespace Version
