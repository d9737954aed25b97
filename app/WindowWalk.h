#pragma once

#include <QString>

#include <functional>

// Where a next or previous window walk ends. target 0: nothing to activate.
struct WindowWalk
{
    int target = 0;
    // True when numbers had to be skipped to reach the target.
    bool skipped = false;
};

// The open window after (or before) the active one in cyclic order over the numbers
// 1..maxNumber. Nothing happens unless more than one window is counted. The walk
// looks at every number at most once, so it ends even when the count and the table
// disagree (then it finds nothing).
WindowWalk nextWindow(int active, int windowCount, const std::function<bool(int)> &used, int maxNumber);
WindowWalk previousWindow(int active, int windowCount, const std::function<bool(int)> &used, int maxNumber);

// The Window menu's line for the open window at 1-based position: a digit mnemonic for
// the first nine, the caption shown literally.
QString windowListText(int position, const QString &caption);
