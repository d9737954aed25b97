#include "platform/files/WildcardPattern.h"

namespace {

// Greedy matching with one back-track point: the last "*" seen absorbs one more
// character whenever the rest fails. Linear in practice, never exponential.
bool matchItem(const QChar *pattern, qsizetype patternSize, const QChar *name, qsizetype nameSize)
{
    qsizetype p = 0, n = 0, star = -1, resume = 0;
    while (n < nameSize) {
        if (p < patternSize && pattern[p] == QLatin1Char('*')) {
            star = p++;
            resume = n;
        } else if (p < patternSize && (pattern[p] == QLatin1Char('?') || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < patternSize && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == patternSize;
}

} // namespace

WildcardPattern::WildcardPattern(const QString &pattern)
{
    for (const QString &item : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        m_items.append(item.toCaseFolded());
}

bool WildcardPattern::matches(const QString &name) const
{
    if (m_items.isEmpty())
        return false;
    const QString folded = name.toCaseFolded();
    for (const QString &item : m_items) {
        if (matchItem(item.constData(), item.size(), folded.constData(), folded.size()))
            return true;
        if (item.endsWith(QLatin1String(".*"))
            && matchItem(item.constData(), item.size() - 2, folded.constData(), folded.size()))
            return true;
    }
    return false;
}
