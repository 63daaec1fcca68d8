// Reading and writing the lines of the calendar of days off, make-up days and special days.
#include "core/holidayrules.h"

#include "core/gbk.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

#include <optional>

namespace holidayrules {

namespace {

// Written at the top of every saved file, for whoever opens it in a text editor; read back,
// these lines are recognised and not kept twice.
const QStringList &headerLines() {
    static const QStringList lines = {
        QStringLiteral("# 节假日与调休：每行一个日期，其后写“休息”、星期几或列表文件的完整路径。"),
        QStringLiteral("#   2027-02-10 休息    这一天不播放定时列表"),
        QStringLiteral("#   2027-02-07 周一    这一天按星期一的列表播放"),
        QStringLiteral("#   2027-01-15 /srv/广播/考试.lst    这一天按这个列表文件播放"),
        QStringLiteral("# 井号（#）后面是备注。"),
        // Written by versions before special days; read back, it is dropped like the others.
        QStringLiteral("# 节假日与调休：每行一个日期，其后写“休息”或星期几。"),
    };
    return lines;
}

// The lines a save writes at the top: all but the former ones.
constexpr int WrittenHeaderLines = 5;

int followsOf(QString word) {
    static const QHash<QString, int> words = [] {
        QHash<QString, int> w;
        for (const char *off : {"休息", "休", "放假", "off"})
            w.insert(QString::fromUtf8(off), DayOff);
        const char *const digits[] = {"日", "一", "二", "三", "四", "五", "六"};
        const char *const english[] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
        const char *const englishLong[] = {"sunday",   "monday", "tuesday", "wednesday",
                                           "thursday", "friday", "saturday"};
        for (int d = 1; d <= 7; ++d) {
            const QString digit = QString::fromUtf8(digits[d - 1]);
            w.insert(QStringLiteral("周") + digit, d);
            w.insert(QStringLiteral("星期") + digit, d);
            w.insert(QString::fromLatin1(english[d - 1]), d);
            w.insert(QString::fromLatin1(englishLong[d - 1]), d);
        }
        w.insert(QStringLiteral("周天"), 1);
        w.insert(QStringLiteral("星期天"), 1);
        return w;
    }();
    word = word.trimmed().toLower();
    if (word.startsWith(QStringLiteral("按")))
        word = word.mid(1).trimmed();
    return words.value(word, -1);
}

}  // namespace

Line parseLine(const QString &text) {
    Line line;
    QString body = text;
    QString note;
    if (const qsizetype hash = body.indexOf(QLatin1Char('#')); hash >= 0) {
        note = body.mid(hash + 1).trimmed();
        body.truncate(hash);
    }
    body = body.trimmed();  // also ideographic spaces
    if (body.isEmpty()) {
        line.kind = text.contains(QLatin1Char('#')) ? LineKind::Comment : LineKind::Blank;
        return line;
    }
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(\d{4})\s*[-/.年]\s*(\d{1,2})\s*[-/.月]\s*(\d{1,2})\s*日?\s*[,，:：]?\s*(.*)$)"));
    line.kind = LineKind::Bad;
    const QRegularExpressionMatch m = pattern.match(body);
    if (!m.hasMatch()) {
        line.reason = QStringLiteral("不是日期");
        return line;
    }
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!date.isValid()) {
        line.reason = QStringLiteral("没有这一天");
        return line;
    }
    const QString word = m.captured(4);
    const int follows = followsOf(word);
    if (follows >= 0) {
        line.kind = LineKind::Entry;
        line.entry = {date, follows, note, {}};
        return line;
    }
    // A path is told from a weekday by its leading "/"; one without it would depend on the
    // folder the program happens to start in.
    if (word.startsWith(QLatin1Char('/'))) {
        line.kind = LineKind::Entry;
        line.entry = {date, date.dayOfWeek() % 7 + 1, note, word};
    } else if (word.endsWith(QStringLiteral(".lst"), Qt::CaseInsensitive)) {
        line.reason = QStringLiteral("列表文件要写完整路径（以 / 开头）");
    } else {
        line.reason = QStringLiteral("没有写明休息或星期几");
    }
    return line;
}

QString listFileProblem(const QString &path) {
    if (!path.startsWith(QLatin1Char('/')))
        return QStringLiteral("不是完整路径");
    if (path.contains(QLatin1Char('#')))
        return QStringLiteral("含有井号（#），其后会被当作备注");
    for (const QChar c : path)
        if (c.unicode() < 32 || c.unicode() == 127)
            return QStringLiteral("含有控制字符");
    if (path.trimmed() != path)
        return QStringLiteral("末尾有空格");
    return {};
}

namespace {

// One line's text, or nothing when it is neither UTF-8 nor GBK.
std::optional<QString> decodeLine(const QByteArray &bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    bool clean = false;
    text = gbk::decode(bytes, &clean);
    if (clean)
        return text;
    return std::nullopt;
}

}  // namespace

Calendar parse(const QByteArray &bytes) {
    Calendar calendar;
    const QList<QByteArray> lines = bytes.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray bytesOfLine = lines[i];
        if (bytesOfLine.endsWith('\r'))
            bytesOfLine.chop(1);
        if (i == 0 && bytesOfLine.startsWith("\xEF\xBB\xBF"))
            bytesOfLine.remove(0, 3);  // the mark some editors put before UTF-8 text
        const std::optional<QString> text = decodeLine(bytesOfLine);
        if (!text) {
            calendar.skipped << SkippedLine{i + 1, QString::fromUtf8(bytesOfLine), QStringLiteral("无法识别的文字"),
                                            bytesOfLine};
            continue;
        }
        const QString &raw = *text;
        const Line line = parseLine(raw);
        switch (line.kind) {
        case LineKind::Blank: break;
        case LineKind::Comment:
            if (!headerLines().contains(raw))
                calendar.comments << raw;
            break;
        case LineKind::Bad: calendar.skipped << SkippedLine{i + 1, raw, line.reason, {}}; break;
        case LineKind::Entry:
            // The first line of a date decides; a second one is reported rather than guessed at.
            if (calendar.entries.contains(line.entry.date))
                calendar.skipped << SkippedLine{i + 1, raw, QStringLiteral("日期重复"), {}};
            else
                calendar.entries.insert(line.entry.date, line.entry);
            break;
        }
    }
    return calendar;
}

QByteArray format(const Calendar &calendar) {
    QByteArray out;
    auto put = [&out](const QByteArray &line) { out += line + "\r\n"; };
    for (const QString &line : headerLines().mid(0, WrittenHeaderLines) + calendar.comments)
        put(line.toUtf8());
    for (const SkippedLine &s : calendar.skipped)
        if (s.bytes.isEmpty())
            put(QStringLiteral("# 无法识别（%1）：%2").arg(s.reason, s.text).toUtf8());
    // After the comments, so that a second save writes the same bytes.
    for (const SkippedLine &s : calendar.skipped)
        if (!s.bytes.isEmpty())
            put(s.bytes);
    for (const Entry &e : calendar.entries) {
        QString line = e.date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') +
                       (e.listFile.isEmpty() ? followsWord(e.follows) : e.listFile);
        if (!e.note.isEmpty())
            line += QStringLiteral("  # ") + e.note;
        put(line.toUtf8());
    }
    return out;
}

int follows(const Calendar &calendar, const QDate &date) {
    if (const auto it = calendar.entries.constFind(date); it != calendar.entries.constEnd())
        return it->follows;
    return date.dayOfWeek() % 7 + 1;
}

Entry specialDay(const Calendar &calendar, const QDate &date) {
    if (const auto it = calendar.entries.constFind(date); it != calendar.entries.constEnd() && !it->listFile.isEmpty())
        return *it;
    return {};
}

QString followsWord(int follows) {
    static const char *const digits[] = {"日", "一", "二", "三", "四", "五", "六"};
    if (follows >= 1 && follows <= 7)
        return QStringLiteral("周") + QString::fromUtf8(digits[follows - 1]);
    return QStringLiteral("休息");
}

}  // namespace holidayrules
