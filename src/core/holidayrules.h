// The calendar of days off, make-up working days and special days, as rules without widgets: its lines, its file,
// what a date follows.
#pragma once
#include <QByteArray>
#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// What a date follows instead of a weekday on a day off: no list, so nothing is scheduled.
// Otherwise a date follows a weekday's list, 1 = Sunday … 7 = Saturday: its own, or another
// weekday's on a make-up working day.
constexpr int DayOff = 0;

namespace holidayrules {

// One date that does not follow its own weekday's list.
struct Entry {
    QDate date;
    int follows = DayOff;  // DayOff, or the weekday whose list it runs (1 = Sunday … 7 = Saturday)
    QString note;          // what followed "#" on its line, kept through a save
    // A special day (an exam, a sports day, a half day) runs a list file of its own, by its
    // full path; it follows its own weekday, whose list stands in when that file cannot serve.
    QString listFile;

    bool operator==(const Entry &) const = default;
};

// A line that names no valid date, nothing it follows, or a date already given, or whose
// bytes are no text the program can read: left out of the calendar and reported to the
// operator with its number.
struct SkippedLine {
    int number = 0;  // from 1
    QString text;
    QString reason;
    QByteArray bytes;  // of a line that could not be read, written back as they stood

    bool operator==(const SkippedLine &) const = default;
};

struct Calendar {
    QMap<QDate, Entry> entries;
    QStringList comments;        // the operator's own comment lines, kept through a save
    QList<SkippedLine> skipped;  // as read; a save keeps them as comments
};

enum class LineKind { Blank, Comment, Entry, Bad };
struct Line {
    LineKind kind = LineKind::Blank;
    Entry entry;     // for an entry
    QString reason;  // for a bad line
};

// One line of the file: a date ("2027-02-07", also "2027/2/7" or "2027年2月7日"), then what it
// follows: "休息", "休", "放假" or "off" for a day off, a weekday as "周一", "星期一" or "mon"
// (also "周日"/"周天", "星期日"/"星期天", "sun"), optionally preceded by "按", or the full path of a
// list file ("/srv/广播/期末 考试.lst", spaces and all); "#" begins a note.
Line parseLine(const QString &text);
// Why a list file's path cannot stand on a line of the file and be read back as itself, in the
// operator's words; empty when it can.
QString listFileProblem(const QString &path);

// The file's bytes as a calendar. Each line is read on its own, so that one stray byte costs
// that line alone: as UTF-8, else as GBK (a line saved by an editor in the Chinese code page),
// else it cannot be read and is skipped.
Calendar parse(const QByteArray &bytes);
// The file's bytes: a few lines explaining the format, the operator's comments, the lines
// that were skipped (as comments, so their text is not lost), then the entries by date. A
// line that could not be read goes back byte for byte as it was: a comment made of it would
// carry text garbled by guessing.
QByteArray format(const Calendar &calendar);

// The weekday whose list the date follows: its entry's, or its own; DayOff on a day off.
int follows(const Calendar &calendar, const QDate &date);
// The date's entry when it is a special day, else an entry without a list file.
Entry specialDay(const Calendar &calendar, const QDate &date);
// How an entry's choice is written: "休息", or "周一" … "周日".
QString followsWord(int follows);

}  // namespace holidayrules
