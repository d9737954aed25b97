#pragma once

#include <QByteArray>
#include <QString>

#include <map>

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
using Section = std::map<QString, QString, CaseInsensitiveLess>;
// Sections by name; keys before the first section header belong to the empty name.
// A section is never empty.
using Content = std::map<QString, Section, CaseInsensitiveLess>;

Content parse(const QByteArray &bytes);
QByteArray serialize(const Content &content);

} // namespace SettingsFileFormat
