#include "platform/engine/LeaveQuestion.h"

#include <QCoreApplication>
#include <QPointer>
#include <QRandomGenerator>
#include <QTranslator>

#include <array>

namespace {

const char *const kEngineText = "Are you sure you want to leave this page? Changes that you made may not be saved.";

// What the engine hands over as its question: made afresh for each run from the
// system's random source. A page can write any sentence, the engine's or the program's,
// into a confirmation of its own, but never this, which no page ever sees.
const QString &engineMarker()
{
    static const QString marker = [] {
        std::array<quint32, 4> random{};
        QRandomGenerator::system()->fillRange(random.data(), random.size());
        QString text = QStringLiteral("vorlan-leave-question:");
        for (quint32 part : random)
            text += QString::number(part, 16);
        return text;
    }();
    return marker;
}

// Translates that one sentence of the engine and nothing else.
class LeaveQuestionTranslator : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        return qstrcmp(context, "QWebEnginePage") == 0 && qstrcmp(sourceText, kEngineText) == 0 ? engineMarker()
                                                                                                  : QString();
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
    return message == engineMarker();
}
