#pragma once

#include "platform/engine/ShownAddress.h"

#include <QString>

// Turns a browser address into the text the user sees in the address combo.

// Decodes the few percent codes the address combo shows as characters (upper-case
// codes only, in a fixed order) unless that would name another address, and turns a
// file: address into a native local path.
QString ToNormalText(const QString &text);

// The display text of an address; a resource address shows only its part after "#".
// Its host shows as ShownAddress gives it, and characters that can make one name pass
// for another stay percent-encoded (EscapeDeceptiveCharacters); a local path holding any
// shows as a file: address, so that the text still loads the same file when entered.
QString ExtractResFile(const QString &url);

// The title a window shows for its page: for a local file whose title the engine made
// from its address, the file's name as it is on disk (deceptive characters escaped);
// any other title as it is.
QString TitleShownFor(const QString &title, const QString &address);
