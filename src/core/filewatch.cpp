// The file watch's looks on a worker thread and what it does with each change it finds.
#include "core/filewatch.h"

#include "core/asrunlog.h"
#include "core/clock.h"
#include "core/logging.h"

#include <QFileInfo>

#include <mutex>
#include <optional>

struct FileWatch::Look {
    std::mutex lock;
    QStringList paths;
    std::optional<QList<FileSignature>> seen;
};

FileWatch::FileWatch(Clock &clock, AsRunLog &log, QObject *parent)
    : QObject(parent), m_clock(clock), m_log(log), m_look(std::make_shared<Look>()) {
    m_pool.setMaxThreadCount(1);
    m_timer = new Timer(clock, QStringLiteral("fileWatch"), IntervalMs, false, this);
    connect(m_timer, &Timer::timeout, this, &FileWatch::requestLook);
    connect(&m_inotify, &QFileSystemWatcher::fileChanged, this, &FileWatch::requestLook);
    connect(&m_inotify, &QFileSystemWatcher::directoryChanged, this, &FileWatch::requestLook);
}

FileWatch::~FileWatch() { m_pool.waitForDone(); }

void FileWatch::add(File file) {
    Watched w{std::move(file), {}, {}, {}};
    w.path = w.file.path();
    w.inForce = FileSignature::of(w.path);
    m_files.append(std::move(w));
}

void FileWatch::start() { m_timer->setEnabled(true); }

void FileWatch::requestLook() {
    if (m_wanted)
        return;
    m_wanted = true;
    QMetaObject::invokeMethod(this, &FileWatch::startLook, Qt::QueuedConnection);
}

void FileWatch::startLook() {
    m_wanted = false;
    if (m_running)
        return;  // a share that hangs: the look under way is all there is until it returns
    m_running = true;
    QStringList paths;
    for (const Watched &w : m_files)
        paths << w.file.path();
    m_pool.start([this, look = m_look, paths] {
        QList<FileSignature> seen;
        for (const QString &path : paths)
            seen << FileSignature::of(path);
        {
            std::lock_guard guard(look->lock);
            look->paths = paths;
            look->seen = std::move(seen);
        }
        // The watch outlives this job (its destructor waits for it); a call still queued when
        // it goes is dropped with it.
        QMetaObject::invokeMethod(this, &FileWatch::takeLook, Qt::QueuedConnection);
    });
}

void FileWatch::settle() {
    if (!m_running)
        startLook();
    m_pool.waitForDone();
    takeLook();
}

void FileWatch::takeLook() {
    QStringList paths;
    std::optional<QList<FileSignature>> seen;
    {
        std::lock_guard guard(m_look->lock);
        seen.swap(m_look->seen);
        paths = m_look->paths;
    }
    if (!seen)
        return;
    m_running = false;
    const qint64 nowMs = m_clock.now().toMSecsSinceEpoch();
    for (int i = 0; i < m_files.size() && i < seen->size(); ++i)
        compare(m_files[i], paths[i], seen->at(i), nowMs);
    followFolders();
}

void FileWatch::compare(Watched &w, const QString &path, const FileSignature &seen, qint64 nowMs) {
    const auto line = [&](const QString &what) {
        m_log.record(QStringLiteral("file"), QStringLiteral("%1%2：%3").arg(w.file.name, what, path));
    };
    if (path.isEmpty()) {  // no file now: no list open in the editor, a day off
        w = Watched{w.file, path, seen, {}};
        return;
    }
    if (path != w.path)  // another file in its place: its owner has just read it
        w = Watched{w.file, path, w.file.loaded ? w.file.loaded() : seen, {}};
    if (seen == w.inForce || ownwrites::isOwn(path, seen)) {
        if (w.toldGone && seen.readable)
            line(QStringLiteral("又可以读取了，内容未变"));
        w = Watched{w.file, path, seen, {}};
        return;
    }
    if (!seen.readable) {
        // A sync in progress or a share gone: what was read last stays in force.
        if (!w.toldGone && w.inForce.readable)
            line(QStringLiteral("暂时不存在或无法读取，仍按原有内容"));
        w.toldGone = true;
        w.pendingSinceMs = -1;
        return;
    }
    if (w.pendingSinceMs < 0 || !(w.pending == seen)) {
        w.pending = seen;
        w.pendingSinceMs = nowMs;
        return;
    }
    if (nowMs - w.pendingSinceMs < SettleMs)
        return;
    if (w.file.busy()) {
        if (!w.toldDeferred) {
            line(QStringLiteral("已在磁盘上被更改，正在编辑它的面板关闭后采用"));
            emit deferred(w.file.name, path);
        }
        w.toldDeferred = true;
        return;
    }
    w = Watched{w.file, path, seen, {}};
    line(QStringLiteral("已在磁盘上被更改，已采用新内容"));
    qCInfo(lcFiles) << "taken from disk:" << path;
    w.file.apply();
}

// inotify for the files seen and their folders; a folder's events also tell of a file
// replaced by renaming, which ends the file's own watch.
void FileWatch::followFolders() {
    const QStringList files = m_inotify.files(), folders = m_inotify.directories();
    QStringList add;
    for (const Watched &w : m_files) {
        if (!w.inForce.readable && !w.pending.readable)
            continue;
        const QString folder = QFileInfo(w.path).absolutePath();
        for (const QString &path : {folder, w.path})
            if (!files.contains(path) && !folders.contains(path) && !add.contains(path) &&
                !m_unwatchable.contains(path))
                add << path;
    }
    // A path that has gone meanwhile is passed over; one inotify refuses (its limit reached,
    // a file system without events) is left to the looks every second.
    if (!add.isEmpty())
        for (const QString &failed : m_inotify.addPaths(add))
            if (QFileInfo::exists(failed))
                m_unwatchable.insert(failed);
}
