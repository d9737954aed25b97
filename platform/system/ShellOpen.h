#pragma once

#include <QString>

#include <functional>

class QUrl;

// Hands a file, folder or address to the desktop, which opens it with the program the
// user chose for its kind. The result is the shell's result code: above 32 when the
// desktop took it; 2 when a local target does not exist (nothing is started); 31 when
// no program takes it.
namespace ShellResult {
constexpr int FileNotFound = 2;
constexpr int NoAssociation = 31;
constexpr int Started = 42;
} // namespace ShellResult

// A local path (absolute) or an address with a scheme ("mailto:", "http:").
int shellOpen(const QString &target);

// Replaces the desktop's opener (tests); an empty function restores it. The opener
// answers whether a program took the address.
using ShellOpener = std::function<bool(const QUrl &)>;
void setShellOpener(ShellOpener opener);
