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
    case 3: return QStringLiteral("Návrat bez volání GoSub");
    case 5: return QStringLiteral("Neplatné volání procedury nebo neplatný argument");
    case 6: return QStringLiteral("Přetečení");
    case 7: return QStringLiteral("Nedostatek paměti");
    case 9: return QStringLiteral("Index je mimo rozsah");
    case 11: return QStringLiteral("Dělení nulou");
    case 13: return QStringLiteral("Neshoda typů");
    case 52: return QStringLiteral("Chybný název nebo číslo souboru");
    case 53: return QStringLiteral("Soubor nebyl nalezen");
    case 54: return QStringLiteral("Chybný režim souboru");
    case 55: return QStringLiteral("Soubor je již otevřen");
    case 57: return QStringLiteral("Chyba vstupu nebo výstupu zařízení");
    case 58: return QStringLiteral("Soubor již existuje");
    case 61: return QStringLiteral("Disk je plný");
    case 62: return QStringLiteral("Čtení za koncem souboru");
    case 63: return QStringLiteral("Chybné číslo záznamu");
    case 67: return QStringLiteral("Příliš mnoho souborů");
    case 68: return QStringLiteral("Zařízení není k dispozici");
    case 70: return QStringLiteral("Přístup odepřen");
    case 71: return QStringLiteral("Disk není připraven");
    case 74: return QStringLiteral("Nelze přejmenovat na jinou jednotku");
    case 75: return QStringLiteral("Chyba přístupu k cestě nebo souboru");
    case 76: return QStringLiteral("Cesta nebyla nalezena");
    case 91: return QStringLiteral("Proměnná objektu nebo bloku With není nastavena");
    case 94: return QStringLiteral("Neplatné použití hodnoty Null");
    case 380: return QStringLiteral("Neplatná hodnota vlastnosti");
    case 429: return QStringLiteral("Komponenta nemůže vytvořit objekt");
    case 438: return QStringLiteral("Objekt tuto vlastnost nebo metodu nepodporuje");
    case 713: return QStringLiteral("Třída není v tomto počítači registrována");
    case 35601: return QStringLiteral("Prvek nebyl nalezen");
    case 35602: return QStringLiteral("Klíč není v kolekci jedinečný");
    case 35603: return QStringLiteral("Neplatný klíč");
    default: return QStringLiteral("Chyba definovaná aplikací nebo objektem");
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
    // The errors a user meets while saving or copying, in the language of the
    // messages they appear in; the system's own text for the rest.
    switch (systemError) {
    case ENOSPC: return QStringLiteral("Na disku není dost místa");
    case EDQUOT: return QStringLiteral("Byla překročena disková kvóta");
    case EROFS: return QStringLiteral("Systém souborů je jen pro čtení");
    case EACCES:
    case EPERM: return QStringLiteral("Přístup byl odepřen");
    case ENOENT: return QStringLiteral("Soubor nebo složka neexistuje");
    case EFBIG: return QStringLiteral("Soubor je příliš velký");
    case EIO: return QStringLiteral("Chyba vstupu nebo výstupu");
    // A disk taken away or a network that stopped answering while a file was read.
    case ENXIO:
    case ENODEV: return QStringLiteral("Zařízení není k dispozici");
    case ENOMEDIUM: return QStringLiteral("V mechanice není médium");
    case ESTALE: return QStringLiteral("Soubor na síťovém disku už není dostupný");
    case ETIMEDOUT: return QStringLiteral("Vypršel časový limit");
    // The failures of renames, moves and the deleted-files store that are not the
    // device's fault, each told as what it is.
    case ENAMETOOLONG: return QStringLiteral("Název souboru nebo cesta je příliš dlouhá");
    case ELOOP: return QStringLiteral("Příliš mnoho úrovní symbolických odkazů");
    case ENOTDIR: return QStringLiteral("Část cesty není složka");
    case ENOTEMPTY: return QStringLiteral("Složka není prázdná");
    case EINVAL: return QStringLiteral("Neplatný argument");
    case EXDEV: return errorDescription(ErrorNumber::RenameAcrossDrives);
    // What a disk without links (exFAT, FAT) answers when a link is moved onto it,
    // and what a file replaced by a folder gives a copy.
    case ENOSYS:
    case EOPNOTSUPP: return QStringLiteral("Disk tuto operaci nepodporuje");
    case EISDIR: return QStringLiteral("Je to složka");
    // A file written to while it was moved stays where it was.
    case EAGAIN: return QStringLiteral("Soubor se právě mění nebo není připraven, zkuste to znovu");
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
        set(RuntimeError(ErrorNumber::InternalError, QString::fromUtf8(e.what()).isEmpty() ? QStringLiteral("Vnitřní chyba")
                                                                   : QString::fromUtf8(e.what())));
    } catch (...) {
        set(RuntimeError(ErrorNumber::InternalError, QStringLiteral("Vnitřní chyba")));
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
