#include "platform/system/ErrorState.h"

#include <cerrno>
#include <new>

namespace {

ErrorInfo &state()
{
    static ErrorInfo info;
    return info;
}

} // namespace

QString errorDescription(int number)
{
    switch (number) {
    case 3: return QStringLiteral("Return without GoSub");
    case 5: return QStringLiteral("Invalid procedure call or argument");
    case 6: return QStringLiteral("Overflow");
    case 7: return QStringLiteral("Out of memory");
    case 9: return QStringLiteral("Subscript out of range");
    case 11: return QStringLiteral("Division by zero");
    case 13: return QStringLiteral("Type mismatch");
    case 52: return QStringLiteral("Bad file name or number");
    case 53: return QStringLiteral("File not found");
    case 54: return QStringLiteral("Bad file mode");
    case 55: return QStringLiteral("File already open");
    case 57: return QStringLiteral("Device I/O error");
    case 58: return QStringLiteral("File already exists");
    case 61: return QStringLiteral("Disk full");
    case 62: return QStringLiteral("Input past end of file");
    case 63: return QStringLiteral("Bad record number");
    case 67: return QStringLiteral("Too many files");
    case 68: return QStringLiteral("Device unavailable");
    case 70: return QStringLiteral("Permission denied");
    case 71: return QStringLiteral("Disk not ready");
    case 74: return QStringLiteral("Can't rename with different drive");
    case 75: return QStringLiteral("Path/File access error");
    case 76: return QStringLiteral("Path not found");
    case 91: return QStringLiteral("Object variable or With block variable not set");
    case 94: return QStringLiteral("Invalid use of Null");
    case 380: return QStringLiteral("Invalid property value");
    case 429: return QStringLiteral("ActiveX component can't create object");
    case 438: return QStringLiteral("Object doesn't support this property or method");
    case 713: return QStringLiteral("Class not registered on local machine");
    case 35601: return QStringLiteral("Element not found");
    case 35602: return QStringLiteral("Key is not unique in collection");
    case 35603: return QStringLiteral("Invalid key");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

RuntimeError::RuntimeError(int number, QString description, QString source, int systemError)
    : m_number(number)
    , m_description(description.isEmpty() ? errorDescription(number) : std::move(description))
    , m_source(source.isEmpty() ? QStringLiteral("Vorlan") : std::move(source))
    , m_systemError(systemError)
    , m_what(QStringLiteral("%1 (%2)").arg(m_description).arg(number).toUtf8())
{
}

void raiseError(int number, const QString &description, const QString &source)
{
    throw RuntimeError(number, description, source);
}

void raiseSystemError(int number, int systemError, const QString &source)
{
    ErrorState::setLastDllError(systemError);
    throw RuntimeError(number, {}, source, systemError);
}

QString systemErrorText(int systemError)
{
    // The errors a user meets while saving, in the language of the messages they
    // appear in; the system's own text for the rest.
    switch (systemError) {
    case ENOSPC: return QStringLiteral("Na disku není dost místa");
    case EDQUOT: return QStringLiteral("Byla překročena disková kvóta");
    case EROFS: return QStringLiteral("Systém souborů je jen pro čtení");
    case EACCES:
    case EPERM: return QStringLiteral("Přístup byl odepřen");
    case ENOENT: return QStringLiteral("Soubor nebo složka neexistuje");
    case EFBIG: return QStringLiteral("Soubor je příliš velký");
    case EIO: return QStringLiteral("Chyba vstupu nebo výstupu");
    default: return qt_error_string(systemError);
    }
}

namespace ErrorState {

const ErrorInfo &current()
{
    return state();
}

bool isSet()
{
    return state().isSet();
}

void set(const RuntimeError &error)
{
    ErrorInfo &info = state();
    info.number = error.number();
    info.description = error.description();
    info.source = error.source();
    if (error.systemError() != 0)
        info.lastDllError = error.systemError();
}

void setFromException(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const RuntimeError &e) {
        set(e);
    } catch (const std::bad_alloc &) {
        set(RuntimeError(ErrorNumber::OutOfMemory));
    } catch (const std::exception &e) {
        set(RuntimeError(ErrorNumber::InternalError, QString::fromUtf8(e.what()).isEmpty() ? QStringLiteral("Internal error")
                                                                   : QString::fromUtf8(e.what())));
    } catch (...) {
        set(RuntimeError(ErrorNumber::InternalError, QStringLiteral("Internal error")));
    }
}

void clear()
{
    ErrorInfo &info = state();
    info.number = 0;
    info.description.clear();
    info.source.clear();
}

void setLastDllError(int code)
{
    state().lastDllError = code;
}

} // namespace ErrorState

IgnoreErrors::IgnoreErrors()
{
    ErrorState::clear();
}

bool IgnoreErrors::operator()(const std::function<void()> &step) const
{
    return runIgnoringErrors(step);
}

bool runIgnoringErrors(const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (...) {
        ErrorState::setFromException(std::current_exception());
        return false;
    }
}
