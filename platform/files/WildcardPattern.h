#pragma once

#include <QString>
#include <QStringList>

// A list of file-name patterns separated by ";" ("*.htm;*.html"), as the folder
// lists take them: "*" stands for any run of characters, "?" for one character,
// nothing else is special, and case is ignored. An item ending in ".*" also matches
// the name without an extension, so "*.*" matches every name. Empty items are
// skipped; a pattern without items matches nothing. Names and patterns are compared
// composed (NFC), so a name stored decomposed matches as it reads.
class WildcardPattern
{
public:
    explicit WildcardPattern(const QString &pattern = {});

    bool matches(const QString &name) const;
    bool isEmpty() const { return m_items.isEmpty(); }

private:
    QStringList m_items; // case-folded
};
