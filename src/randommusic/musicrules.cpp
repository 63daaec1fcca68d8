// Open groups, the pick with its history, List2's order and the multi-selection text.
#include "randommusic/musicrules.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <bitset>
#include <cmath>

namespace musicrules {

int dayIndex(int weekday) { return (weekday + 5) % 7; }

bool isOpen(const PlayGroup &group, int now, int weekday) {
    if (weekday < 1 || weekday > 7)
        return false;
    return group.days[dayIndex(weekday)] == 1 && group.start < now && now < group.stop;
}

bool hasWindow(const std::array<PlayGroup, 4> &groups) {
    return std::any_of(groups.begin(), groups.end(), [](const PlayGroup &g) { return g.start < g.stop; });
}

int openGroup(const std::array<PlayGroup, 4> &groups, int now, int weekday) {
    for (int g = 0; g < 4; ++g)
        if (isOpen(groups[g], now, weekday))
            return g + 1;
    return 0;
}

QString groupCaption(int number) {
    static const QString digits = QStringLiteral("一二三四五六七八九十");
    if (number < 1 || number > 19)
        return QString();
    const QString n = number <= 10 ? QString(digits[number - 1]) : QStringLiteral("十") + digits[number - 11];
    return QStringLiteral("第") + n + QStringLiteral("组");
}

QString libraryCaption(int n) {
    static const QString digits = QStringLiteral("一二三");
    return n >= 0 && n < 3 ? QStringLiteral("曲库") + digits[n] : QString();
}

int pickSong(MusicLibrary &library, int &historyCount, const std::function<double()> &draw) {
    const int n = library.songCount();
    if (n <= 0)
        return -1;
    auto &history = library.PlayHistory;
    historyCount = std::clamp(historyCount, 0, MusicLibrary::HistorySize);

    // The positions the draw must avoid, looked up once instead of at every draw.
    std::bitset<MusicLibrary::MaxSongs> taken;
    for (int p = 1; p <= historyCount; ++p)
        if (history[p] >= 1 && history[p] <= n)
            taken.set(history[p] - 1);
    if (int(taken.count()) >= n) {
        // Cannot happen while the table only changes with its history forgotten; should it
        // ever, a pick that could never end is worse than a repeat.
        library.forgetHistory();
        taken.reset();
    }
    int k = 0;
    do {
        const double r = std::clamp(draw(), 0.0, std::nextafter(1.0, 0.0));
        k = int(static_cast<long long>(std::floor(r * n * 10000)) % n);
    } while (taken.test(k));

    if (historyCount >= MusicLibrary::HistorySize) {  // never reached with 1001 songs at most
        std::fill(history.begin() + 1, history.end(), 0);
        historyCount = 0;
    }
    historyCount += 1;
    history[historyCount] = qint16(k + 1);
    if (historyCount >= n - 1) {
        std::fill(history.begin() + 1, history.begin() + historyCount + 1, 0);
        historyCount = 0;
    }
    return k;
}

QString playingText(const QString &path) { return QStringLiteral("随机播放:") + path + QString(32, QChar(0x3000)); }

namespace {
// Chinese characters by their reading (pinyin), as the Chinese collation orders them.
const QCollator &hanCollator() {
    static const QCollator c(QLocale(QLocale::Chinese, QLocale::China));
    return c;
}
bool isHan(QChar c) { return c.script() == QChar::Script_Han; }
}  // namespace

bool songLess(const QString &a, const QString &b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ca = a[i], cb = b[i];
        if (ca == cb)
            continue;
        const QChar fa = ca.toCaseFolded(), fb = cb.toCaseFolded();
        if (fa == fb)
            continue;  // a difference of case alone decides only at the end
        const bool hanA = isHan(ca), hanB = isHan(cb);
        if (hanA != hanB)
            return !hanA;  // digits, letters and signs before Chinese
        if (hanA) {
            const int c = hanCollator().compare(QString(ca), QString(cb));
            if (c != 0)
                return c < 0;
        }
        return fa < fb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

QStringList splitMultiSelection(const QString &text) {
    QStringList paths;
    QString s = text;
    QString folder;
    int part = 0;
    for (qsizetype space = s.indexOf(QLatin1Char(' ')); space >= 0; space = s.indexOf(QLatin1Char(' '))) {
        const QString before = s.left(space);
        if (part == 0) {
            folder = before;
            if (!folder.endsWith(QLatin1Char('\\')) && !folder.endsWith(QLatin1Char('/'))) {
                const bool backslashes = folder.contains(QLatin1Char('\\')) && !folder.contains(QLatin1Char('/'));
                folder += backslashes ? QLatin1Char('\\') : QLatin1Char('/');
            }
        } else {
            paths << folder + before;
        }
        s = s.mid(space + 1);
        ++part;
    }
    if (!s.isEmpty())
        paths << folder + s;
    return paths;
}

}  // namespace musicrules
