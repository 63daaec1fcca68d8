// The random music's rules without widgets: the open group, the pick, the texts and orders.
#pragma once
#include "randommusic/musiclibrary.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace musicrules {

// The day flag of a weekday as the clock gives it (1 = Sunday … 7 = Saturday): index 0 for
// Monday … 6 for Sunday.
int dayIndex(int weekday);

// start < now < stop, both strict, on a day whose flag is 1.
bool isOpen(const PlayGroup &group, int now, int weekday);
// Whether any group of the library has a window at all (start before stop).
bool hasWindow(const std::array<PlayGroup, 4> &groups);
// The first open group, 1 … 4, or 0 when none is open.
int openGroup(const std::array<PlayGroup, 4> &groups, int now, int weekday);

// Form2's Slider2 index of group g (1 … 4) of library L: 4 × L + g − 1.
constexpr int volumeSlider(int library, int group) { return 4 * library + group - 1; }
// The group frame caption of a global group number 1 … 12: "第一组" … "第十二组".
QString groupCaption(int number);
// A library's name, n = 0 … 2: "曲库一" … "曲库三".
QString libraryCaption(int n);

// Picks a song position k of the library and remembers it. draw() gives numbers 0 ≤ r < 1;
// k = floor(r × songCount × 10000) mod songCount, drawn again while k + 1 is among the
// library's history positions 1 … historyCount. Then historyCount goes up by one, k + 1 is
// stored at that position, and once historyCount reaches songCount − 1 the positions up to it
// are emptied and the count returns to 0. The library must have songs.
int pickSong(MusicLibrary &library, int &historyCount, const std::function<double()> &draw);

// Label26 while a random song plays: "随机播放:" + the path + 32 ideographic spaces.
QString playingText(const QString &path);

// List2's order, the text order of a Chinese system: character by character, digits, letters
// (without regard to case) and signs before Chinese characters, which go by their reading
// (pinyin); texts that differ only in case by their character codes.
bool songLess(const QString &a, const QString &b);

// A multiple selection given as one text ("folder name1 name2 …", or one full path) as full
// paths. The folder gets a separator when it has none at its end ("\" if it is written with
// backslashes, "/" otherwise). A name containing a space is cut there, as the text cannot say.
QStringList splitMultiSelection(const QString &text);

}  // namespace musicrules
