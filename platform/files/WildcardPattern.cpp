#include "platform/files/WildcardPattern.h"

namespace {

// Greedy matching with one back-track point: the last "*" seen absorbs one more
// character whenever the rest fails. Linear in practice, never exponential. The name
// is folded as it is read (Fold), so that no folded copy of it is made.
template<typename Fold>
bool matchItem(const QChar *pattern, qsizetype patternSize, const QChar *name, qsizetype nameSize, Fold fold)
{
    qsizetype p = 0, n = 0, star = -1, resume = 0;
    while (n < nameSize) {
        if (p < patternSize && pattern[p] == QLatin1Char('*')) {
            star = p++;
            resume = n;
        } else if (p < patternSize && (pattern[p] == QLatin1Char('?') || pattern[p] == fold(name[n]))) {
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
    // A character outside the basic plane folds only as a whole pair: such a name is
    // folded as a whole. Every other name is folded character by character.
    bool pairs = false;
    for (const QChar c : name) {
        if (c.isSurrogate()) {
            pairs = true;
            break;
        }
    }
    const QString folded = pairs ? name.toCaseFolded() : QString();
    const QString &subject = pairs ? folded : name;
    const auto matchesItem = [&](const QString &item, qsizetype size) {
        if (pairs)
            return matchItem(item.constData(), size, subject.constData(), subject.size(), [](QChar c) { return c; });
        return matchItem(item.constData(), size, subject.constData(), subject.size(), [](QChar c) {
            const char16_t code = c.unicode();
            if (code < 0x80)
                return QChar(code >= 'A' && code <= 'Z' ? code + 32 : code);
            return c.toCaseFolded();
        });
    };
    for (const QString &item : m_items) {
        if (matchesItem(item, item.size()))
            return true;
        if (item.endsWith(QLatin1String(".*")) && matchesItem(item, item.size() - 2))
            return true;
    }
    return false;
}
