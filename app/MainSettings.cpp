#include "app/MainSettings.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <optional>

void MainSettings::saveProgramLocation()
{
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    AppPath.save(executable.absolutePath().toLower());
    AppName.save(executable.completeBaseName().toLower());
}

namespace BarSettings {

namespace {

// What a first start gives bands 1 to 3; nothing where the band keeps no such value
// (the bottom bar's first band keeps neither).
struct BandDefaults
{
    std::optional<int> width;
    std::optional<bool> newRow;
};
constexpr BandDefaults kTopBands[] = {{0, false}, {std::nullopt, true}, {2000, false}};
constexpr BandDefaults kBottomBands[] = {{std::nullopt, std::nullopt}, {std::nullopt, true}, {0, false}};

template<class T>
QVariant defaultOf(const std::optional<T> &value)
{
    return value ? QVariant(*value) : QVariant();
}

const BandDefaults &defaults(Bar bar, int band)
{
    const BandDefaults *bands = bar == Bar::Top ? kTopBands : kBottomBands;
    return bands[qBound(1, band, 3) - 1];
}

QString key(Bar bar, int band, const char *property)
{
    return (bar == Bar::Top ? QStringLiteral("Toolbar") : QStringLiteral("BottomToolbar")) + QString::number(band)
        + QString::fromLatin1(property);
}

} // namespace

Setting width(Bar bar, int band)
{
    return {QStringLiteral("Settings"), key(bar, band, "Width"), defaultOf(defaults(bar, band).width)};
}

Setting newRow(Bar bar, int band)
{
    return {QStringLiteral("Settings"), key(bar, band, "NewRow"), defaultOf(defaults(bar, band).newRow)};
}

Setting position(Bar bar, int band)
{
    return {QStringLiteral("Settings"), key(bar, band, "Position")};
}

Setting visible(Bar bar, int band)
{
    return {QStringLiteral("Settings"), key(bar, band, "Visible"), true};
}

} // namespace BarSettings
