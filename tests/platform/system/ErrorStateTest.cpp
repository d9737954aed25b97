#include "platform/system/ErrorState.h"
#include "platform/controls/Forms.h"
#include "platform/controls/MessageBox.h"

#include "ScriptedMessageBoxes.h"

#include <QWidget>

#include <cerrno>

#include <gtest/gtest.h>

namespace {

TEST(ErrorState, IgnoringErrorsRecordsTheLastFailureAndGoesOn)
{
    ErrorState::clear();
    IgnoreErrors ignore;
    int ran = 0;
    EXPECT_FALSE(ignore([&] { raiseError(ErrorNumber::FileNotFound); ++ran; }));
    EXPECT_TRUE(ignore([&] { ++ran; }));
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(ErrorState::current().number, 53);
    EXPECT_EQ(ErrorState::current().description, QStringLiteral("Soubor nebyl nalezen"));
    EXPECT_FALSE(ignore([] { raiseError(ErrorNumber::TypeMismatch); }));
    EXPECT_EQ(ErrorState::current().number, 13) << "a later failure replaces an earlier one";
    // A successful step leaves the current error alone.
    EXPECT_TRUE(ignore([] {}));
    EXPECT_EQ(ErrorState::current().number, 13);
}

TEST(ErrorState, AProcedureHandlingItsOwnErrorsStartsClean)
{
    runIgnoringErrors([] { raiseError(ErrorNumber::PermissionDenied); });
    ASSERT_TRUE(ErrorState::isSet());
    IgnoreErrors ownHandler;
    EXPECT_FALSE(ErrorState::isSet());
}

TEST(ErrorState, ForeignExceptionsBecomeErrorsToo)
{
    IgnoreErrors ignore;
    ignore([] { throw std::bad_alloc(); });
    EXPECT_EQ(ErrorState::current().number, ErrorNumber::OutOfMemory);
    ignore([] { throw std::runtime_error("boom"); });
    EXPECT_EQ(ErrorState::current().description, QStringLiteral("boom"));
    EXPECT_NE(ErrorState::current().number, 0);
}

TEST(ErrorState, RuntimeErrorsAreDescribedInCzech)
{
    // The descriptions reach the user in messages (a refused rename, a failed start)
    // and the error log; a text of a message of its own stays as that message has it.
    const struct { int number; const char *text; } cases[] = {
        {ErrorNumber::IllegalCall, "Neplatné volání procedury nebo neplatný argument"},
        {ErrorNumber::TypeMismatch, "Neshoda typů"},
        {ErrorNumber::FileNotFound, "Soubor nebyl nalezen"},
        {ErrorNumber::DeviceIoError, "Chyba vstupu nebo výstupu zařízení"},
        {ErrorNumber::FileAlreadyExists, "Soubor již existuje"},
        {ErrorNumber::DiskFull, "Disk je plný"},
        {ErrorNumber::PathFileAccessError, "Chyba přístupu k cestě nebo souboru"},
        {ErrorNumber::PathNotFound, "Cesta nebyla nalezena"},
        {ErrorNumber::KeyNotUnique, "Klíč není v kolekci jedinečný"},
        {12345, "Chyba definovaná aplikací nebo objektem"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(errorDescription(c.number), QString::fromUtf8(c.text));
        EXPECT_EQ(RuntimeError(c.number).description(), QString::fromUtf8(c.text));
    }
    EXPECT_EQ(RuntimeError(ErrorNumber::IllegalCall, QStringLiteral("You cannot delete this file due to forbidden access."))
                  .description(),
              QStringLiteral("You cannot delete this file due to forbidden access."));
    IgnoreErrors ignore;
    ignore([] { throw 42; });
    EXPECT_EQ(ErrorState::current().description, QStringLiteral("Vnitřní chyba"));
}

TEST(ErrorState, TheSystemErrorsAUserMeetsAreToldInCzech)
{
    const struct { int error; const char *text; } cases[] = {
        {ENOSPC, "Na disku není dost místa"},
        {EROFS, "Systém souborů je jen pro čtení"},
        {EACCES, "Přístup byl odepřen"},
        {EPERM, "Přístup byl odepřen"},
        {ENOENT, "Soubor nebo složka neexistuje"},
        {EFBIG, "Soubor je příliš velký"},
        {EIO, "Chyba vstupu nebo výstupu"},
        {ENXIO, "Zařízení není k dispozici"},
        {ENOMEDIUM, "V mechanice není médium"},
        {ESTALE, "Soubor na síťovém disku už není dostupný"},
        {ENAMETOOLONG, "Název souboru nebo cesta je příliš dlouhá"},
        {ELOOP, "Příliš mnoho úrovní symbolických odkazů"},
        {ENOTDIR, "Část cesty není složka"},
        {ENOTEMPTY, "Složka není prázdná"},
        {EINVAL, "Neplatný argument"},
        {EXDEV, "Nelze přejmenovat na jinou jednotku"},
        {ENOSYS, "Disk tuto operaci nepodporuje"},
        {EOPNOTSUPP, "Disk tuto operaci nepodporuje"},
        {EISDIR, "Je to složka"},
        {EAGAIN, "Soubor se právě mění nebo není připraven, zkuste to znovu"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(systemErrorText(c.error), QString::fromUtf8(c.text));
    }
    EXPECT_EQ(systemErrorText(EMLINK), QStringLiteral("Too many links")) << "others keep the system's text";
}

TEST(MessageBoxes, ScriptedAnswersAndTheProgramTitle)
{
    ScriptedMessageBoxes boxes;
    boxes.answers = {MsgBoxResult::No};
    EXPECT_EQ(MsgBox(QStringLiteral("Opravdu?"), MsgBoxStyle::YesNo | MsgBoxStyle::Question | MsgBoxStyle::DefaultButton2),
              MsgBoxResult::No);
    EXPECT_EQ(MsgBox(QStringLiteral("Hotovo"), MsgBoxStyle::Critical, QStringLiteral("Uživatelská chyba")), MsgBoxResult::OK);
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Vorlan"));
    EXPECT_EQ(boxes.shown[0].buttons(), MsgBoxStyle::YesNo);
    EXPECT_EQ(boxes.shown[0].icon(), MsgBoxStyle::Question);
    EXPECT_EQ(boxes.shown[0].defaultButton(), MsgBoxStyle::DefaultButton2);
    EXPECT_EQ(boxes.shown[1].title, QStringLiteral("Uživatelská chyba"));
    EXPECT_EQ(boxes.shown[1].icon(), MsgBoxStyle::Critical);
}

class SampleForm : public QWidget
{
public:
    SampleForm() { ++created; }
    static inline int created = 0;
};

TEST(Forms, TouchingAnUnloadedFormLoadsItAgain)
{
    SampleForm::created = 0;
    EXPECT_FALSE(Forms::isLoaded<SampleForm>());
    SampleForm *first = Forms::get<SampleForm>();
    EXPECT_EQ(Forms::get<SampleForm>(), first);
    EXPECT_EQ(SampleForm::created, 1);
    Forms::unload<SampleForm>();
    EXPECT_FALSE(Forms::isLoaded<SampleForm>());
    Forms::unload<SampleForm>(); // unloading twice is harmless
    Forms::get<SampleForm>();
    EXPECT_EQ(SampleForm::created, 2);
    Forms::unload<SampleForm>();
}

} // namespace
