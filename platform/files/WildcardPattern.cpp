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
    // Items are kept composed (NFC), the form names are compared in.
    for (const QString &item : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        m_items.append(item.normalized(QString::NormalizationForm_C).toCaseFolded());
}

bool WildcardPattern::matches(const QString &name) const
{
    if (m_items.isEmpty())
        return false;
    // A name that came from another system may be stored decomposed (a letter followed
    // by its combining accent); it is compared composed, as the pattern is. A name of
    // plain ASCII is the same in either form and is compared as it stands.
    // A character outside the basic plane folds only as a whole pair: such a name is
    // folded as a whole. Every other name is folded character by character.
    bool ascii = true;
    bool pairs = false;
    for (const QChar c : name) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            if (c.isSurrogate()) {
                pairs = true;
                break;
            }
        }
    }
    const QString composed = ascii ? QString() : name.normalized(QString::NormalizationForm_C);
    const QString folded = pairs ? composed.toCaseFolded() : QString();
    const QString &subject = pairs ? folded : ascii ? name : composed;
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
