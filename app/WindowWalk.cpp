#include "app/WindowWalk.h"

namespace {

WindowWalk walk(int active, int windowCount, const std::function<bool(int)> &used, int maxNumber, int step)
{
    if (windowCount <= 1 || maxNumber < 1)
        return {};
    auto wrap = [maxNumber](int n) { return n > maxNumber ? 1 : (n < 1 ? maxNumber : n); };
    int n = wrap(active + step);
    if (used(n))
        return {n, false};
    for (int looked = 1; looked < maxNumber; ++looked) {
        n = wrap(n + step);
        if (used(n))
            return {n, true};
    }
    return {};
}

} // namespace

WindowWalk nextWindow(int active, int windowCount, const std::function<bool(int)> &used, int maxNumber)
{
    return walk(active, windowCount, used, maxNumber, 1);
}

WindowWalk previousWindow(int active, int windowCount, const std::function<bool(int)> &used, int maxNumber)
{
    return walk(active, windowCount, used, maxNumber, -1);
}

QString windowListText(int position, const QString &caption)
{
    QString text = caption;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    if (position >= 1 && position <= 9)
        return QStringLiteral("&%1 %2").arg(position).arg(text);
    return text;
}
