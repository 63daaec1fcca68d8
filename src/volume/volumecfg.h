// Volume.cfg: the thirteen volume slider positions kept between runs.
#pragma once
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace volumecfg {

// Line 1 is Slider1, lines 2 to 13 are Slider2(0) to Slider2(11).
constexpr int Count = 13;
using Positions = std::array<qint32, Count>;
using ReadPositions = std::array<std::optional<qint64>, Count>;

inline QString fileName() { return QStringLiteral("Volume.cfg"); }

// One decimal number per line.
QStringList format(const Positions &positions);

// Line i of the file fills position i mod 13, so a file of several groups of thirteen
// ends with its last group. A line that is not a whole number leaves its position empty,
// as does a line the file does not have.
ReadPositions parse(const QStringList &lines);

}  // namespace volumecfg
