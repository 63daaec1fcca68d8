// The program's own pictures and colours, drawn in code: backgrounds, the idle cover, icons.
#pragma once
#include <QColor>
#include <QIcon>
#include <QImage>
#include <QSize>

class QPainter;

// Each picture is drawn when asked for; callers keep what they draw, so each is drawn once a
// run. Drawing needs a QGuiApplication (for fonts); the pictures without text (the program's
// icon, the activity icons) need none.
namespace pictures {

// The colours the pictures and the windows' texts share: a dark blue band for the controls of
// daily operation, light cards for what must be read from across a room.
inline const QColor Band{30, 51, 80};         // the main window's top part
inline const QColor BandDeep{19, 33, 53};     // insets in the band: the shelf, the list-file strip
inline const QColor BandEdge{62, 89, 122};    // frames of the insets
inline const QColor Amber{255, 194, 61};      // the clock's digits, the bell
inline const QColor Card{252, 249, 240};      // the date and the status lines stand on this
inline const QColor Paper{230, 236, 243};     // below the top part, behind the panels
inline const QColor FaceText{225, 234, 245};  // light text on the band
inline const QColor ClockFace{12, 20, 30};
inline const QColor ClockGhost{31, 42, 55};  // the unlit segments
inline const QColor TopLine{255, 242, 168};  // the light yellow line along the top edge
inline const QColor CoverSky{232, 240, 248};
inline const QColor Warning{255, 132, 112};  // on the band: something the operator must put right

inline constexpr QSize BackgroundSize{700, 613};
inline constexpr QSize SlideSize{289, 161};

// The main window's background, BackgroundSize; the top 216 rows are its compact part. It is a
// few flat fills, drawn straight onto the window where it is exposed rather than kept as a
// picture of its own, which would hold two megabytes all day for nothing.
void drawBackground(QPainter &p);
// The volume dialog's background, of its own size, drawn the same way.
void drawVolumeBackground(QPainter &p, QSize size);
// The cover's pictures Image1 … Image6 (n = 1 … 6): a ringing bell, and in Image6 at rest.
QImage slide(int n);
// The activity icons: a loudspeaker, idle or sounding.
QImage activity(bool sounding);
// Frames of the picture boxes the clock, the date, the status lines and the list file stand in.
QImage clockFrame(QSize size);
QImage card(QSize size);
QImage inset(QSize size);
// The about panel: the long title twice, the second as its raised copy, and the version.
QImage about(QSize size);
// The program's icon, square, at any size.
QImage programIcon(int size);
QIcon programIcons();

}  // namespace pictures
