#include "platform/engine/LeaveQuestion.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTranslator>

namespace {

const char *const kEngineText = "Are you sure you want to leave this page? Changes that you made may not be saved.";

// Translates that one sentence of the engine and nothing else.
class LeaveQuestionTranslator : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char *, const char *sourceText, const char *, int) const override
    {
        return qstrcmp(sourceText, kEngineText) == 0 ? LeaveQuestion::text() : QString();
    }

    bool isEmpty() const override { return false; }
};

} // namespace

QString LeaveQuestion::text()
{
    return QStringLiteral("Opravdu chcete stránku opustit? Změny, které jste provedli, nemusí být uloženy.");
}

void LeaveQuestion::translate()
{
    static QPointer<LeaveQuestionTranslator> translator;
    if (translator)
        return;
    translator = new LeaveQuestionTranslator(QCoreApplication::instance());
    QCoreApplication::installTranslator(translator);
}

bool LeaveQuestion::isLeaveQuestion(const QString &message)
{
    return message == text() || message == QLatin1String(kEngineText);
}
