#pragma once

#include <vector>

// The arrangement of a cool bar's bands into rows, as plain values (pixels).
namespace CoolBarLayout {

struct BandInput
{
    bool visible = true;
    bool newRow = false;   // the band starts a row of its own (ignored for the first visible band)
    bool fixed = false;    // a fixed band is always its natural width: neither stretched nor cut
    int width = 0;         // the width asked for, header included; 0 = the natural width
    int naturalWidth = 0;  // header included: what shows the whole child
    int headerWidth = 0;   // grip and caption in front of the child
    int minWidth = 0;      // the child's minimum width
    int minHeight = 0;     // the child's minimum height
};

struct BandPlace
{
    int band = 0; // 0-based position in the input
    int row = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct Result
{
    std::vector<BandPlace> places; // visible bands only, in band order
    int rowCount = 0;
    int height = 0;
};

// The narrowest a band may be.
int narrowest(const BandInput &band);
// The width a band takes in a row with room to spare.
int wanted(const BandInput &band);
// The narrowest bar that shows every visible band whole (each on a row of its own if
// need be): below it a band would be cut at the bar's edge.
int narrowestBar(const std::vector<BandInput> &bands);

// Hidden bands take no room and keep their place in the order. Each band is as wide
// as it wants (never narrower than allowed); the last band of a row takes the rest of
// the bar; a row too full for the bar narrows its bands from the right, down to what
// each allows, and a band that would not fit even so starts a row of its own. A row
// is as high as its tallest band; rows are separated by rowGap.
Result arrange(const std::vector<BandInput> &bands, int barWidth, int rowGap = 2);

} // namespace CoolBarLayout
