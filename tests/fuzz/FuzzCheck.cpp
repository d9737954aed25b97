#include "FuzzCheck.h"

#include <cstdio>
#include <cstdlib>

// The replay driver points this at its own reporter, which names the input.
void (*fuzzFailureReporter)() = nullptr;

void fuzzFailed(const char *condition, const char *file, int line, const QString &detail)
{
    std::fprintf(stderr, "property broken: %s\n  at %s:%d\n", condition, file, line);
    if (!detail.isEmpty())
        std::fprintf(stderr, "  %s\n", detail.toUtf8().constData());
    if (fuzzFailureReporter)
        fuzzFailureReporter();
    std::fflush(stderr);
    std::abort();
}

QString fuzzShown(const QString &text)
{
    QString shown;
    for (const QChar c : text.left(400)) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.isSurrogate())
            shown += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return QLatin1Char('"') + shown + (text.size() > 400 ? QStringLiteral("\"…") : QStringLiteral("\""));
}

bool hasLoneSurrogate(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return true;
    }
    return false;
}
