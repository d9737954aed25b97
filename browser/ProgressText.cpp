#include "browser/ProgressText.h"

#include "platform/system/Units.h"

#include <limits>
#include <optional>

namespace {

const QString kDone = QStringLiteral("Hotovo");

// The share in percent, or nothing when it cannot be computed.
std::optional<double> exactPercent(int progress, int progressMax)
{
    if (progressMax == 0)
        return std::nullopt;
    return static_cast<double>(progress) / progressMax * 100.0;
}

// The percentage as a 16-bit whole number; 0 when it does not fit.
int roundedPercent(std::optional<double> exact)
{
    if (!exact)
        return 0;
    const double rounded = Units::roundHalfEven(*exact);
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return 0;
    return static_cast<int>(rounded);
}

} // namespace

QString percentText(int percent)
{
    return QString::number(percent) + QStringLiteral(" %");
}

ProgressDisplay progressDisplay(int progress, int progressMax, bool blankPage)
{
    ProgressDisplay display;
    const std::optional<double> exact = exactPercent(progress, progressMax);
    const int p = roundedPercent(exact);
    const bool ended = p == 0 || p == 100;
    display.percent = p;
    display.panelText = (!exact || *exact == 0.0) ? kDone : percentText(p);
    display.recordedText = ended ? kDone : percentText(p);
    display.markLoading = p < 100 && !blankPage;
    display.markLoaded = ended && !blankPage;
    display.loadEnded = ended;
    return display;
}
