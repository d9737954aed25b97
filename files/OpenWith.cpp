#include "files/OpenWith.h"

#include "core/PathServices.h"
#include "core/SharedState.h"
#include "platform/controls/MessageBox.h"
#include "platform/store/SettingsStore.h"
#include "platform/system/DetachedProcess.h"
#include "platform/system/ErrorState.h"
#include "platform/system/ShellOpen.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

// The desktop opens and edits a file with the program it keeps for its kind; printing
// goes to the print spooler when one is installed. Nothing is reported either way.
void openWithDesktop(const QString &file, const QString &verb)
{
    if (verb.compare(QLatin1String("Print"), Qt::CaseInsensitive) != 0) {
        shellOpen(file);
        return;
    }
    if (!QStandardPaths::findExecutable(QStringLiteral("lp")).isEmpty())
        runIgnoringErrors([&] { startDetachedProcess(QStringLiteral("lp"), {file}); });
}

} // namespace

QString ExpandPathMacros(const QString &commandLine)
{
    const SharedState &state = shared();
    const std::pair<const char *, const QString &> macros[] = {
        {"${desktop}", state.DesktopDir},   {"${system}", state.SystemDir},
        {"${personal}", state.PersonalDir}, {"${mydocuments}", state.PersonalDir},
        {"${documents}", state.PersonalDir}, {"${app}", state.AppDir},
        {"${windir}", state.WindowsDir},
    };
    QString line = commandLine;
    for (const auto &[macro, value] : macros)
        line.replace(QLatin1String(macro), value, Qt::CaseInsensitive);
    return line;
}

QStringList OpenWithArguments(const QString &program, const QString &parameters, const QString &file)
{
    if (!parameters.isEmpty())
        return QProcess::splitCommand(program + QLatin1Char(' ') + parameters) << file;
    QStringList arguments = QProcess::splitCommand(program);
    // The file goes in last, so nothing in its name is taken for a macro.
    for (QString &argument : arguments)
        argument = ExpandPathMacros(argument).replace(QLatin1String("%1"), file);
    return arguments;
}

void OpenWithProgram(QObject *owner, const QString &file, const QString &program, const QString &verb,
                     const QString &parameters, const QString &workingFolder, int programIndex)
{
    Q_UNUSED(owner);
    Q_UNUSED(workingFolder);
    if (!FileExists(file))
        return;
    QString line = program;
    if (line.isEmpty() && programIndex == 0) {
        openWithDesktop(file, verb.isEmpty() ? QStringLiteral("Open") : verb);
        return;
    }
    if (programIndex > 0)
        line = GetSetting(PresetSections::OpenWith, QString::number(programIndex), QString());
    QStringList arguments = OpenWithArguments(line, parameters, file);
    try {
        if (arguments.isEmpty())
            raiseSystemError(ErrorNumber::FileNotFound, ENOENT);
        const QString name = arguments.takeFirst();
        startDetachedProcess(name, arguments);
    } catch (const RuntimeError &error) {
        MsgBox(QStringLiteral("Program nelze spustit: ") + line + QLatin1Char('\n') + systemErrorText(error.systemError()),
               MsgBoxStyle::Critical);
    }
}
