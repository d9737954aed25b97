#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <vector>

// The settings file: INI sections of "key=value" lines.
//
//   [Options\QCopy]
//   1=/home/user/Documents
//   Caption1=Dokumenty
//
// Values are kept exactly: "\" is written "\\", line breaks "\n" / "\r", other
// control characters "\xHH"; nothing around the "=" is trimmed. Names escape the
// characters that would break the line structure as "%HH". Section and key names
// compare without regard to case; a section name is flat ("Options\QCopy" is a
// section of its own, not one nested in "Options").
namespace SettingsFileFormat {

struct CaseInsensitiveLess
{
    bool operator()(const QString &a, const QString &b) const;
};

// The keys of one section with their values, in order of their names. A sorted
// array of one string per key rather than a tree of two: a file of a million short
// lines must fit in memory a few times its size.
class Section
{
public:
    class Entry
    {
    public:
        Entry(QStringView key, QStringView value);
        QStringView key() const { return QStringView(m_text).first(m_keyLength); }
        QStringView value() const { return QStringView(m_text).sliced(m_keyLength); }
        bool operator==(const Entry &) const = default;

    private:
        QString m_text; // the key directly followed by the value
        qsizetype m_keyLength = 0;
    };
    using const_iterator = std::vector<Entry>::const_iterator;

    const_iterator begin() const { return m_entries.begin(); }
    const_iterator end() const { return m_entries.end(); }
    bool empty() const { return m_entries.empty(); }
    bool operator==(const Section &) const = default;

    const Entry *find(QStringView key) const;
    // Replaces the key's value, or adds the key under this name.
    void set(QStringView key, QStringView value);
    void erase(QStringView key);

    // Adds in any order, for reading a file; settle() then sorts the keys, a key
    // given twice keeping its first name and its last value.
    void append(QStringView key, QStringView value);
    void settle();

private:
    std::vector<Entry>::iterator lowerBound(QStringView key);

    std::vector<Entry> m_entries;
};

// Sections by name; keys before the first section header belong to the empty name.
// A section is never empty.
using Content = std::map<QString, Section, CaseInsensitiveLess>;

Content parse(const QByteArray &bytes);
QByteArray serialize(const Content &content);

} // namespace SettingsFileFormat
