// The as-run log's worker: daily files, old ones removed, failures counted and survived.
#include "core/asrunlogfile.h"

#include "core/clock.h"
#include "core/logging.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <map>

AsRunLogFile::AsRunLogFile(const QString &folder, Clock &clock, int keepDays)
    : m_folder(QDir::cleanPath(folder)), m_clock(clock) {
    askToPrune(clock.date());
    m_worker = std::thread([this, keepDays] { run(keepDays); });
    // A program left running for months removes old days after each midnight too.
    m_dayCheck = std::make_unique<Timer>(clock, QStringLiteral("asRunDayCheck"), 60000, true);
    QObject::connect(m_dayCheck.get(), &Timer::timeout, m_dayCheck.get(), [this] { askToPrune(m_clock.date()); });
}

AsRunLogFile::~AsRunLogFile() {
    m_dayCheck.reset();
    {
        std::lock_guard lock(m_lock);
        m_ending = true;
    }
    m_wake.notify_one();
    m_worker.join();
}

QString AsRunLogFile::fileName(const QDate &date) { return date.toString(QStringLiteral("yyyy-MM-dd")) + ".log"; }

void AsRunLogFile::record(const AsRunEntry &entry) {
    const QDateTime now = m_clock.now();
    Line line{now.date(), now.time().toString(QStringLiteral("HH:mm:ss ")) + entry.text};
    {
        std::lock_guard lock(m_lock);
        ++m_recorded;
        if (m_queue.size() >= MaxQueued) {
            ++m_lost;
            ++m_done;
        } else {
            m_queue.push_back(std::move(line));
        }
    }
    m_wake.notify_one();
    if (m_copy)
        m_copy->record(entry);
}

void AsRunLogFile::flush() {
    std::unique_lock lock(m_lock);
    const quint64 target = m_recorded;
    m_written.wait(lock, [&] { return m_done >= target && !m_pruneFor.isValid() && !m_busy; });
}

void AsRunLogFile::askToPrune(const QDate &today) {
    if (today == m_askedFor)
        return;
    m_askedFor = today;
    {
        std::lock_guard lock(m_lock);
        m_pruneFor = today;
    }
    m_wake.notify_one();
}

int AsRunLogFile::linesLost() const {
    std::lock_guard lock(m_lock);
    return m_lost;
}

void AsRunLogFile::run(int keepDays) {
    std::deque<Line> batch;
    for (;;) {
        QDate prune;
        {
            std::unique_lock lock(m_lock);
            m_wake.wait(lock, [this] { return m_ending || !m_queue.empty() || m_pruneFor.isValid(); });
            if (m_queue.empty() && !m_pruneFor.isValid())  // ending, and everything written
                return;
            batch.swap(m_queue);
            prune = std::exchange(m_pruneFor, QDate());
            m_busy = true;
        }
        const int lost = write(batch);
        // After the lines, so that a day whose first lines these are counts as logged.
        if (prune.isValid())
            removeOld(prune, keepDays);
        const size_t count = batch.size();
        // Freed here rather than under the lock: a large batch takes a while to free, and a
        // tick recording a line meanwhile would wait for it.
        batch.clear();
        {
            std::lock_guard lock(m_lock);
            m_lost += lost;
            m_done += count;
            m_busy = false;
        }
        m_written.notify_all();
    }
}

int AsRunLogFile::write(const std::deque<Line> &lines) {
    // A batch seldom spans midnight; each date's lines go to its own file, in order.
    QString reason;
    int lost = 0;
    size_t i = 0;
    while (i < lines.size()) {
        const QDate date = lines[i].date;
        QByteArray bytes;
        int count = 0;
        for (; i < lines.size() && lines[i].date == date; ++i, ++count)
            bytes += asrun::oneLine(lines[i].text).toUtf8() + '\n';
        // Made again each time, so a folder removed while running comes back.
        QFile file(m_folder + QLatin1Char('/') + fileName(date));
        if (!QDir().mkpath(m_folder)) {
            reason = QStringLiteral("cannot make the folder");
        } else if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            reason = file.errorString();
        } else if (file.write(bytes) != bytes.size() || !file.flush()) {
            reason = file.errorString();
        } else {
            continue;
        }
        lost += count;
    }
    if (lost > 0 && !m_failing)
        qCWarning(lcFiles) << "the as-run log cannot be written in" << m_folder << ":" << reason;
    m_failing = lost > 0;
    return lost;
}

void AsRunLogFile::removeOld(const QDate &today, int keepDays) {
    static const QRegularExpression name(QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})\\.log$"));
    const QDir dir(m_folder);
    std::map<QDate, QString, std::greater<>> days{{today, QString()}};  // newest first
    for (const QString &entry : dir.entryList({QStringLiteral("*.log")}, QDir::Files)) {
        const QRegularExpressionMatch m = name.match(entry);
        const QDate date = m.hasMatch() ? QDate::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd")) : QDate();
        if (date.isValid())
            days[date] = entry;
    }
    int later = 0;  // days logged after this one, today counted
    for (const auto &[date, entry] : days) {
        if (later++ <= keepDays || date.daysTo(today) <= keepDays || entry.isEmpty())
            continue;
        if (!QFile::remove(dir.filePath(entry)))
            qCWarning(lcFiles) << "an old as-run log cannot be removed:" << dir.filePath(entry);
    }
}
