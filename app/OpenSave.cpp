#include "app/OpenSave.h"

#include "core/SharedState.h"
#include "platform/system/ErrorState.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

const QChar kNul(0);

SaveDialogAnswer showQtDialog(const SaveDialogRequest &request)
{
    // Shown without an owner window, as the callers ask.
    QFileDialog dialog(nullptr);
    prepareSaveDialog(dialog, request);
    SaveDialogAnswer answer;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return answer;
    answer.accepted = true;
    answer.path = dialog.selectedFiles().constFirst();
    answer.filterIndex = request.filterIndex;
    // The dialog names the selected filter by its description alone.
    const QString selected = dialog.selectedNameFilter();
    for (qsizetype i = 0; i < request.nameFilters.size(); ++i) {
        const QString &filter = request.nameFilters.at(i);
        if (filter.left(filter.lastIndexOf(QLatin1String(" ("))).simplified() == selected) {
            answer.filterIndex = int(i) + 1;
            break;
        }
    }
    return answer;
}

OpenSave::Dialog &installedDialog()
{
    static OpenSave::Dialog dialog;
    return dialog;
}

} // namespace

void prepareSaveDialog(QFileDialog &dialog, const SaveDialogRequest &request)
{
    dialog.setWindowTitle(request.title);
    dialog.setDirectory(request.initDir);
    // Qt's own dialog, so that it looks and behaves the same on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Replacing an existing file is the caller's question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // Each filter shows its description as the caller wrote it; the patterns the
    // dialog matches with follow it in parentheses.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(request.nameFilters);
    if (request.filterIndex >= 1 && request.filterIndex <= request.nameFilters.size())
        dialog.selectNameFilter(request.nameFilters.at(request.filterIndex - 1));
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.selectFile(request.fileName);
}

void OpenSave::setDialog(Dialog dialog)
{
    installedDialog() = std::move(dialog);
}

OpenSave::OpenSave()
{
    setCancelError(false);
    setDefaultExt({});
    setDialogTitle({});
    setFileName({});
    setFileTitle({});
    setFilter(QStringLiteral("All Files (*.*)|*.*"));
    setFilterIndex(1);
    setFlags(0);
    // The dialog opens in the user's home folder unless told otherwise.
    setInitDir(QDir::homePath());
    setMaxFileSize(260);
    sethWnd(0);
}

QString OpenSave::Filter() const
{
    QString filter = m_filter;
    filter.replace(kNul, QLatin1Char('|'));
    for (int i = 0; i < 2 && filter.endsWith(QLatin1Char('|')); ++i)
        filter.chop(1);
    return filter;
}

void OpenSave::setFilter(const QString &value)
{
    QString stored = value;
    stored.replace(QLatin1Char('|'), kNul);
    if (!stored.endsWith(kNul))
        stored += kNul;
    if (!stored.endsWith(QString(2, kNul)))
        stored += kNul;
    m_filter = stored;
}

SaveDialogRequest OpenSave::request() const
{
    SaveDialogRequest request;
    request.title = m_dialogTitle;
    request.fileName = m_fileName;
    request.initDir = m_initDir;
    QString suffix = m_defaultExt;
    while (suffix.startsWith(QLatin1Char('*')) || suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    request.defaultSuffix = suffix;
    request.nameFilters = nameFiltersFromFilter(Filter());
    request.filterIndex = m_filterIndex;
    return request;
}

void OpenSave::ShowSave()
{
    if (m_fileName.size() > m_maxFileSize + 1)
        raiseError(ErrorNumber::IllegalCall);
    const SaveDialogRequest asked = request();
    const SaveDialogAnswer answer = installedDialog() ? installedDialog()(asked) : showQtDialog(asked);
    shared().SaveDialogCancelled = !answer.accepted || answer.path.trimmed().isEmpty();
    if (!shared().SaveDialogCancelled)
        takeAnswer(answer);
}

void OpenSave::takeAnswer(const SaveDialogAnswer &answer)
{
    m_flags = HideReadOnly;
    m_fileName = answer.path.trimmed();
    m_fileTitle = QFileInfo(m_fileName).fileName().trimmed();
    m_fileExt = fileExtensionOffset(m_fileName);
    m_initDir = m_initDir.trimmed();
    m_filterIndex = answer.filterIndex;
}

QStringList nameFiltersFromFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // "*.*" means every file, also one whose name has no dot (README, Makefile).
        for (QString &pattern : patterns) {
            if (pattern.trimmed() == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        filters.append(parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return filters;
}

int fileExtensionOffset(const QString &path)
{
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot >= nameStart ? int(dot + 1) : 0;
}
