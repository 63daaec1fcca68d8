// The main window's three heights, each change followed by vertical centring on the screen.
#pragma once

class QWidget;

namespace windowheight {
constexpr int Compact = 3240;    // the main bar only
constexpr int WithLists = 6165;  // and the weekday list panel
constexpr int Full = 9150;       // and the schedule editor

// Sets the window's height (in twips) and puts its top at (screen height − height) / 2;
// its left edge stays.
void setCentred(QWidget *window, int twips);
}  // namespace windowheight
