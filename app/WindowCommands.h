#pragma once

// The page and window commands act on the active browser window, so they are
// available only while at least one browser window is open.

// Enables them; a browser window calls it after it was counted.
void SetWinEnabled();
// Disables them; the last browser window to close calls it.
void SetWinDisabled();
