// FileWatch: notices that someone else changed a file the program reads (a synchronised
// folder, a share, an editor) and hands the new content to the part that owns the file.
#pragma once
#include "core/filesignature.h"

#include <QFileSystemWatcher>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <memory>

class AsRunLog;
class Clock;
class Timer;

class FileWatch : public QObject {
    Q_OBJECT
public:
    // The files are looked at every IntervalMs, and at once when inotify reports a change in
    // their folder. A change is taken once the file has looked the same for SettleMs, so a
    // file still being written is not taken half way.
    static constexpr int IntervalMs = 1000;
    static constexpr int SettleMs = 1000;

    struct File {
        QString name;                   // as the as-run log names it
        std::function<QString()> path;  // read at each look: today's list changes with the day
        // Puts the new content into force on the UI thread, as the owner's dialog would.
        std::function<void()> apply;
        // While true (a panel editing the file is open), a change waits; it is taken once the
        // panel is closed, and the deferred() signal tells the operator in the meantime.
        std::function<bool()> busy = [] { return false; };
        // Where a file takes another path while the program runs (today's list at midnight),
        // the file as its owner read it, so that a change in the second before the first
        // look is not taken for what the owner has. Without it the first look counts.
        std::function<FileSignature()> loaded = {};
    };

    FileWatch(Clock &clock, AsRunLog &log, QObject *parent = nullptr);
    // Waits for a look under way (a few stat calls) before going.
    ~FileWatch() override;

    // The file as it is now counts as in force: the owner has just read it.
    void add(File file);
    void start();
    // A look is asked for or under way.
    bool looking() const { return m_wanted || m_running; }
    // Looks at the files at once, waits for the look and takes what it found: for tests.
    void settle();

signals:
    // A change to name waits for its open panel.
    void deferred(const QString &name, const QString &path);

private:
    struct Watched {
        File file;
        QString path;
        FileSignature inForce;
        FileSignature pending;
        qint64 pendingSinceMs = -1;  // -1: nothing pending
        bool toldGone = false;
        bool toldDeferred = false;
    };
    struct Look;
    void requestLook();
    void startLook();
    void takeLook();
    void compare(Watched &w, const QString &path, const FileSignature &seen, qint64 nowMs);
    void followFolders();

    Clock &m_clock;
    AsRunLog &m_log;
    QList<Watched> m_files;
    Timer *m_timer;
    QFileSystemWatcher m_inotify;
    QSet<QString> m_unwatchable;
    QThreadPool m_pool;  // one thread: a share that hangs holds only its own looks
    std::shared_ptr<Look> m_look;
    bool m_running = false;
    bool m_wanted = false;
};
