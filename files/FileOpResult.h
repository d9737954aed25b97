#pragma once

#include <QString>

class QWidget;

// What a checked file operation ended with: a code the callers act on, and the
// system's reason behind a failure.
namespace FileOpCode {
constexpr int Done = 0;   // a move, a written file, a new folder
constexpr int Copied = 1;
constexpr int TargetExists = 2;
constexpr int NoSpace = 3;
constexpr int SourceMissing = 4; // for a written file: no text
constexpr int TargetFolderMissing = 5;
constexpr int DiskUnavailable = 6;
constexpr int ReadOnly = 7;
constexpr int Failed = 8; // any other failure; the message carries the system's text
constexpr int SourceUnreadable = 9; // the source could not be read; the message names it
constexpr int NameRefused = 10;     // the target's disk does not take the name; the message names it
} // namespace FileOpCode

struct FileOpResult
{
    FileOpResult() = default;
    FileOpResult(int code, int systemError, QString name = {})
        : code(code)
        , systemError(systemError)
        , name(std::move(name))
    {
    }

    int code = FileOpCode::Done;
    int systemError = 0; // the errno behind a failure, 0 when a check refused it
    QString name;        // the file codes 9 and 10 name
};

// The code for a failed system call's errno. A missing file or folder counts as the
// target's folder missing; the operation tells a missing source apart itself.
FileOpResult fileOpResultOf(int systemError);

// The text the user reads for a result; empty for a success. target is the file (or,
// with folder, the new folder's parent and name) that already exists for code 2;
// codes 9 and 10 name the result's own file.
QString FileOpMessage(const FileOpResult &result, const QString &target, bool folder = false);
// Shows that text as the file operations' error box; nothing for a success.
void ShowFileOpMessage(const FileOpResult &result, const QString &target, QWidget *parent = nullptr,
                       bool folder = false);
