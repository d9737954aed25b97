#pragma once

#include <QString>

#include <array>

// What the options dialog decides about its values, apart from any window.
namespace OptionValues {

constexpr int FileTypeCount = 22;
// The folder tree's pattern for "no files" and for "all files".
inline const QString NoFiles = QStringLiteral("zqx.zqx");
inline const QString AllFiles = QStringLiteral("*.*");

// The group of patterns file-type box i (1 to 22) stands for, each closed by ";".
QString fileTypeTag(int index);

// True when the group (a box's tag) stands in the pattern as a run of whole items,
// bounded by ";" or the pattern's ends, letters compared without regard to case: a
// stored "*.pngx" does not hold the group "*.png;".
bool patternHasGroup(const QString &pattern, const QString &tag);

// The boxes and texts of the file-types page that make the folder tree's pattern.
struct PatternChoice
{
    std::array<bool, FileTypeCount + 1> types{}; // 1 to 22; 0 unused
    bool custom = false;
    QString userTypes;
    bool all = false;
    bool none = false;
};

// The ticked groups in box order, then the user's own patterns (blanks and commas
// made into ";" and one pass over ";;"), without the final ";"; "*.*" for all files,
// "zqx.zqx" for none (which wins).
QString buildPattern(const PatternChoice &choice);
// The user's own patterns as they join the pattern: the text, a ";" appended, every
// " " and then every "," made a ";", then one left-to-right pass turning ";;" into ";".
QString userTypesPart(const QString &typed);
// What the folder tree lists by: the pattern, or "no files" for the empty one.
QString filesListPattern(const QString &pattern);

// A browser switch's stored text as a box's value: 1 only for exactly "yes".
int ConvertToBoolean(const QString &text);
// A page address as stored: "about:blank" for the empty text.
QString ChangeBlank(const QString &text);
QString switchText(bool ticked);

} // namespace OptionValues
