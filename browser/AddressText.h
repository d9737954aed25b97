#pragma once

#include <QString>

// Turns a browser address into the text the user sees in the address combo.

// Decodes the few percent codes the address combo shows as characters (upper-case
// codes only, in a fixed order) unless that would name another address, and turns a
// file: address into a native local path.
QString ToNormalText(const QString &text);

// The display text of an address; a resource address shows only its part after "#".
QString ExtractResFile(const QString &url);
