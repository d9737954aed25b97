#pragma once

#include <QString>

// The one text every address is shown as (address field and its list, titles, the
// status bar, favorites, captured links), so that no address can pose as another. It
// still names the same address: loading the text shown loads the page it stands for.

// The address with its host as ShownHost gives it and its deceptive characters escaped.
// Text that is no address (no "scheme://" at its start) only has the characters escaped.
QString ShownAddress(const QString &address);

// A host name in Unicode only when every letter of it is Latin (accented letters
// included, as in "příklad.cz"); any other script, or a character that is neither a
// letter nor plain ASCII, shows its "xn--" form, so that Cyrillic letters cannot pass
// for the Latin name they resemble. Whatever the domain.
QString ShownHost(const QString &host);

// Percent-encodes the characters that can make one name pass for another: the bidi
// controls (U+061C, U+200E, U+200F, U+202A-U+202E, U+2066-U+2069), the zero-width
// characters (U+200B-U+200D, U+FEFF) and line breaks, and the ASCII characters given in
// also. A name reading "faktura<U+202E>txt.exe" would show as "fakturaexe.txt".
QString EscapeDeceptiveCharacters(const QString &text, const QString &also = QString());

bool HasDeceptiveCharacters(const QString &text);
