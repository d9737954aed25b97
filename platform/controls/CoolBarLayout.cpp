#include "platform/controls/CoolBarLayout.h"

#include <algorithm>

namespace CoolBarLayout {

int narrowest(const BandInput &band)
{
    return band.headerWidth + std::max(0, band.minWidth);
}

int wanted(const BandInput &band)
{
    // A band nobody has sized shows its whole child, as a fixed band always does.
    const int asked = band.fixed || band.width <= 0 ? band.naturalWidth : band.width;
    return std::max(asked, narrowest(band));
}

int narrowestBar(const std::vector<BandInput> &bands)
{
    int widest = 0;
    for (const BandInput &band : bands) {
        if (band.visible)
            widest = std::max(widest, band.fixed ? wanted(band) : narrowest(band));
    }
    return widest;
}

namespace {

// Widths for one row: wanted widths, the last stretched to the bar, then an overfull
// row narrowed from its right end.
void fitRow(const std::vector<BandInput> &bands, std::vector<BandPlace> &row, int barWidth)
{
    int used = 0;
    for (BandPlace &place : row) {
        const BandInput &band = bands[place.band];
        place.width = wanted(band);
        used += place.width;
    }
    BandPlace &last = row.back();
    if (!bands[last.band].fixed && used < barWidth) {
        last.width += barWidth - used;
        used = barWidth;
    }
    for (auto it = row.rbegin(); it != row.rend() && used > barWidth; ++it) {
        const BandInput &band = bands[it->band];
        if (band.fixed)
            continue;
        const int spare = it->width - narrowest(band);
        const int cut = std::min(spare, used - barWidth);
        it->width -= cut;
        used -= cut;
    }
    int x = 0;
    for (BandPlace &place : row) {
        place.x = x;
        x += place.width;
    }
}

} // namespace

Result arrange(const std::vector<BandInput> &bands, int barWidth, int rowGap)
{
    std::vector<std::vector<BandPlace>> rows;
    int rowFloor = 0; // what the current row's bands need at their narrowest
    for (int i = 0; i < int(bands.size()); ++i) {
        const BandInput &band = bands[std::size_t(i)];
        if (!band.visible)
            continue;
        const int floor = narrowestBar({band});
        // A band the row has no room for even at everyone's narrowest goes on to a row
        // of its own rather than off the bar's edge.
        if (rows.empty() || band.newRow || rowFloor + floor > barWidth) {
            rows.emplace_back();
            rowFloor = 0;
        }
        rowFloor += floor;
        BandPlace place;
        place.band = i;
        place.row = int(rows.size()) - 1;
        rows.back().push_back(place);
    }

    Result result;
    result.rowCount = int(rows.size());
    int y = 0;
    for (std::vector<BandPlace> &row : rows) {
        fitRow(bands, row, barWidth);
        int height = 0;
        for (const BandPlace &place : row)
            height = std::max(height, bands[place.band].minHeight);
        if (y > 0)
            y += rowGap;
        for (BandPlace &place : row) {
            place.y = y;
            place.height = height;
            result.places.push_back(place);
        }
        y += height;
    }
    result.height = y;
    std::sort(result.places.begin(), result.places.end(),
              [](const BandPlace &a, const BandPlace &b) { return a.band < b.band; });
    return result;
}

} // namespace CoolBarLayout
