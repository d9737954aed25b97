#include "app/Startup.h"


#include "app/MainSettings.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "app/saving/SaveTarget.h"
#include "core/ErrorLog.h"
#include "core/OptionsSettings.h"
#include "core/PathServices.h"
#include "core/RegistryServices.h"
#include "core/SharedState.h"
#include "core/Version.h"
#include "platform/store/AtomicFile.h"
#include "platform/engine/EngineProfile.h"
#include "platform/files/FileJournal.h"
#include "platform/files/StagingFolder.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/Forms.h"
#include "platform/controls/MessageBox.h"
#include "platform/store/Registry.h"
#include "platform/store/RegistryRead.h"
#include "platform/store/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

#include <utility>
#include <vector>

namespace {

void createFolder(const QString &path)
{
    if (!QDir().mkdir(path))
        raiseError(ErrorNumber::PathFileAccessError);
}

// Start files found to be something a save must not replace, set aside this start.
std::vector<std::optional<FileProblem>> &setAsideSwitchFiles()
{
    static std::vector<std::optional<FileProblem>> problems;
    return problems;
}

void writeSwitchFile(const QString &path, bool offline)
{
    if (std::optional<FileProblem> problem = setAsideUnlessRegular(path))
        setAsideSwitchFiles().push_back(std::move(problem));
    writeFileAtomically(path, offlineSwitchFile(offline));
}

// Tells once, and logs, that a start file could not be used and was set aside.
void reportUnusableStartFiles()
{
    QStringList lines;
    std::vector<std::optional<FileProblem>> problems = std::exchange(setAsideSwitchFiles(), {});
    problems.insert(problems.begin(), {SettingsStore::instance().takeUnusableFile(), Registry::instance().takeUnusableFile()});
    for (const std::optional<FileProblem> &problem : problems) {
        if (!problem)
            continue;
        if (problem->linesLost && problem->keptAs.isEmpty())
            lines << QStringLiteral("V souboru „%1“ nelze přečíst %2 a jeho kopii se nepodařilo uložit. "
                                    "Program je vynechá a do souboru nic neuloží.")
                         .arg(problem->path, problem->reason);
        else if (problem->linesLost)
            lines << QStringLiteral("V souboru „%1“ nelze přečíst %2; program je vynechá. "
                                    "Celý soubor zůstal uložen jako „%3“.")
                         .arg(problem->path, problem->reason, problem->keptAs);
        else if (problem->keptAs.isEmpty())
            lines << QStringLiteral("Soubor „%1“ nelze použít (%2) a nepodařilo se ho ani odložit stranou. "
                                    "Program pracuje s výchozími hodnotami a do souboru nic neuloží.")
                         .arg(problem->path, problem->reason);
        else
            lines << QStringLiteral("Soubor „%1“ nelze použít (%2). Byl odložen jako „%3“ a program začíná "
                                    "s výchozími hodnotami.")
                         .arg(problem->path, problem->reason, problem->keptAs);
        ErrorState::set(RuntimeError(ErrorNumber::PathFileAccessError, problem->reason, problem->path));
        LogError(QStringLiteral("Main"), problem->keptAs);
    }
    // Another instance holding the settings' lock is told of here rather than waited out.
    if (const std::optional<FileProblem> unsaved = SettingsStore::instance().unsavedChanges())
        lines << QStringLiteral("Do souboru „%1“ se nepodařilo uložit (%2).").arg(unsaved->path, unsaved->reason);
    if (!lines.isEmpty())
        MsgBox(lines.join(QStringLiteral("\n\n")), MsgBoxStyle::Exclamation, Version::appTitle());
}

} // namespace

QString programFolderFrom(const QString &folder)
{
    QString result = folder + QLatin1Char('/');
    // One left-to-right pass over non-overlapping pairs, as a doubled separator at
    // the end of a root folder needs.
    result.replace(QStringLiteral("//"), QStringLiteral("/"));
    return result;
}

QString userProgramFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/Vorlan");
}

bool isSilentCommandLine(const QString &commandLine)
{
    const QString start = commandLine.left(2).toUpper();
    if (start != QLatin1String("/S") && start != QLatin1String("-S"))
        return false;
    return !QFileInfo::exists(commandLine.trimmed());
}

QByteArray offlineSwitchFile(bool offline)
{
    const QString text = QStringLiteral("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\%1]\r\n\"%2\"=dword:0000000%3\r\n")
                             .arg(RegKeys::InternetSettings, RegValueNames::GlobalUserOffline,
                                  offline ? QStringLiteral("1") : QStringLiteral("0"));
    return text.toLatin1();
}

QString userAgentToken()
{
    return QStringLiteral("%1 %2.%3.%4").arg(Version::appTitle()).arg(Version::Major).arg(Version::Minor).arg(Version::Revision);
}

QString commandLineFromArguments(const QStringList &arguments)
{
    return arguments.mid(1).join(QLatin1Char(' '));
}

void Main()
{
    SharedState &s = shared();
    IgnoreErrors ignore;

    ignore([] {
        frmSplash *splash = Forms::get<frmSplash>();
        splash->show();
        QCoreApplication::processEvents();
    });
    ignore([&s] { s.AppFolder = programFolderFrom(userProgramFolder()); });
    ignore([&s] { s.DesktopDir = RegGetString(HKEY_CURRENT_USER, RegKeys::ShellFolders, QStringLiteral("Desktop"), QString()); });
    ignore([&s] { s.PersonalDir = RegGetString(HKEY_CURRENT_USER, RegKeys::ShellFolders, QStringLiteral("Personal"), QString()); });
    ignore([&s] { s.NotWarnQCopy = OptionsSettings::NotWarnQCopy.toBool(); });
    ignore([&s] { s.NotWarnQMove = OptionsSettings::NotWarnQMove.toBool(); });
    ignore([&s] { s.FavoritesDir = RegGetString(HKEY_CURRENT_USER, RegKeys::ShellFolders, QStringLiteral("Favorites"), QString()); });
    ignore([&s] { s.AppDir = programFolderFrom(userProgramFolder()); });
    ignore([&s] {
        // Before any change to a user's files: what an earlier run left half done is
        // finished or undone, and what it left in the staging area goes.
        if (s.AppDir.isEmpty())
            return;
        FileJournal::setFolder(s.AppDir + QStringLiteral("journal"));
        FileJournal::recover();
        StagingFolder::sweep(stagingArea());
    });
    ignore([&s] {
        s.WindowCount = 0;
        s.MainFormLoaded = false;
    });
    ignore([] { MainSettings::saveProgramLocation(); });
    ignore([] {
        const QString folder = WindowsDirectory();
        writeSwitchFile(folder + QStringLiteral("/online.reg"), false);
        writeSwitchFile(folder + QStringLiteral("/offline.reg"), true);
    });
    ignore([] {
        if (RegistryRead::isOffline())
            Forms::get<frmMain>()->mnuOffline->setChecked(true);
    });
    RegSetString(HKEY_LOCAL_MACHINE, RegKeys::PostPlatform, userAgentToken(), QString());
    ignore([&s] {
        frmMain *main = Forms::get<frmMain>();
        main->LoadSettings();
        if (isSilentCommandLine(s.CommandLine))
            MsgBox(QStringLiteral("Silent mode"), MsgBoxStyle::OKOnly, Version::appTitle());
        else
            main->show();
        // The engine starts while the first window's timer waits, not once it fires,
        // and not before the timer runs: its start holds this thread for tens of
        // milliseconds, which would delay the first window by as much.
        QTimer::singleShot(0, main, &EngineProfile::warmUp);
    });
    ignore([] {
        Forms::get<frmMain>()->mnuAdjustImages->setChecked(MainSettings::AdjustImg.toBool());
    });
    ignore([&s] {
        // The existence test handles its own errors and so starts with none current:
        // a failure of the steps before it (such as a stored switch that is no
        // Boolean) is not reported; only a folder that cannot be created is.
        ErrorState::clear();
        if (!FileExists(s.AppFolder + QStringLiteral("deleted")))
            createFolder(s.AppFolder + QStringLiteral("deleted"));
    });
    ignore([] {
        // The folder tree shows Temporary Internet Files as a folder from the first run.
        const QString cache = RegGetString(HKEY_CURRENT_USER, RegKeys::ShellFolders, QStringLiteral("Cache"), QString());
        if (!cache.isEmpty() && !FileExists(cache) && !QDir().mkpath(cache))
            raiseError(ErrorNumber::PathFileAccessError);
    });

    if (ErrorState::isSet()) {
        // The handlers that run while the message box is open clear the error, so
        // the log line is written from this copy.
        const ErrorInfo failure = ErrorState::current();
        Forms::unload<frmSplash>();
        MsgBox(QStringLiteral("Chyba během spouštění.") + failure.description, MsgBoxStyle::OKOnly, Version::appTitle());
        ErrorState::set(RuntimeError(failure.number, failure.description, failure.source));
        ErrorState::setLastDllError(failure.lastDllError);
        LogError(QStringLiteral("Main"));
    }
    reportUnusableStartFiles();
}
