#pragma once

#include <QString>
#include <QVariant>

#include <exception>
#include <functional>

// The program's runtime error state. Operations of the platform layer fail by
// throwing RuntimeError with one of the runtime's error numbers; a handler that
// "ignores errors" runs each step through IgnoreErrors, which records a failure
// as the current error and lets the next step run. LogError reads and clears it.

namespace ErrorNumber {
constexpr int OutOfMemory = 7;
constexpr int IllegalCall = 5;
constexpr int Overflow = 6;
constexpr int SubscriptOutOfRange = 9;
constexpr int DivisionByZero = 11;
constexpr int TypeMismatch = 13;
constexpr int InternalError = 51;
constexpr int BadFileNameOrNumber = 52;
constexpr int FileNotFound = 53;
constexpr int FileAlreadyOpen = 55;
constexpr int DeviceIoError = 57;
constexpr int FileAlreadyExists = 58;
constexpr int DiskFull = 61;
constexpr int DeviceUnavailable = 68;
constexpr int PermissionDenied = 70;
constexpr int DiskNotReady = 71;
constexpr int RenameAcrossDrives = 74;
constexpr int PathFileAccessError = 75;
constexpr int PathNotFound = 76;
constexpr int ObjectVariableNotSet = 91;
constexpr int InvalidPropertyValue = 380;
constexpr int ClassNotRegistered = 429;
constexpr int ClassNotRegisteredInit = 713;
constexpr int KeyNotUnique = 35602;
constexpr int ElementNotFound = 35601;
constexpr int InvalidKey = 35603;
} // namespace ErrorNumber

// The description the runtime gives for an error number, in the language of the
// program's messages ("Chyba definovaná aplikací nebo objektem" for numbers it
// does not know).
QString errorDescription(int number);

class RuntimeError : public std::exception
{
public:
    // systemError: the errno of the failed system call behind the error, 0 when there was none.
    explicit RuntimeError(int number, QString description = {}, QString source = {}, int systemError = 0);

    int number() const { return m_number; }
    const QString &description() const { return m_description; }
    const QString &source() const { return m_source; }
    int systemError() const { return m_systemError; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_description;
    QString m_source;
    int m_systemError;
    QByteArray m_what;
};

[[noreturn]] void raiseError(int number, const QString &description = {}, const QString &source = {});
// For a failed system call: records its errno as the last system error and raises
// the error carrying it (the description is the number's own).
[[noreturn]] void raiseSystemError(int number, int systemError, const QString &source = {});
// The system's own text for an errno, in the user's language where the system has one.
QString systemErrorText(int systemError);

struct ErrorInfo
{
    int number = 0;
    QString description;
    QString source;
    int lastDllError = 0;

    bool isSet() const { return number != 0; }
};

namespace ErrorState {
const ErrorInfo &current();
bool isSet();
// Also makes the error's system error, when it has one, the last system error.
void set(const RuntimeError &error);
// Records any exception escaping a step as the current error.
void setFromException(std::exception_ptr error);
void clear();
// The system error left by the last call into the operating system (errno).
void setLastDllError(int code);
} // namespace ErrorState

// A procedure that handles its own errors starts with a clear error state and runs
// its steps through this helper; a failing step is abandoned, the next one runs.
//     IgnoreErrors ignore;
//     ignore([&] { ... });
//     if (ErrorState::isSet()) LogError("Handler_Name", context);
class IgnoreErrors
{
public:
    IgnoreErrors();
    // Returns true when the step ran to its end.
    bool operator()(const std::function<void()> &step) const;
};

// Runs one step with errors ignored, for a single call.
bool runIgnoringErrors(const std::function<void()> &step);
