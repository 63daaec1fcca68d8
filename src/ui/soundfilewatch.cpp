// The check of a list's sound files on a worker thread and its result brought back to the UI.
#include "ui/soundfilewatch.h"

#include "core/clock.h"
#include "core/soundfilecheck.h"

#include <QAbstractItemModel>
#include <QSet>

#include <mutex>
#include <optional>

struct SoundFileWatch::Pending {
    std::mutex lock;
    std::optional<QHash<QString, QString>> result;
};

SoundFileWatch::SoundFileWatch(Clock &clock, QAbstractItemModel &model, int column, Show show, QObject *parent)
    : QObject(parent), m_model(model), m_column(column), m_show(std::move(show)),
      m_pending(std::make_shared<Pending>()) {
    m_pool.setMaxThreadCount(1);
    m_timer = new Timer(clock, QStringLiteral("soundFileCheck"), IntervalMs, true, this);
    connect(m_timer, &Timer::timeout, this, &SoundFileWatch::requestCheck);
    connect(&model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &from, const QModelIndex &to, const QList<int> &roles) {
                // Colours and tooltips changing, the played marks: none of them is a file name.
                const bool texts = roles.isEmpty() || roles.contains(Qt::DisplayRole) || roles.contains(Qt::EditRole);
                if (texts && from.column() <= m_column && m_column <= to.column())
                    requestCheck();
            });
    connect(&model, &QAbstractItemModel::rowsInserted, this, &SoundFileWatch::requestCheck);
    connect(&model, &QAbstractItemModel::modelReset, this, &SoundFileWatch::requestCheck);
}

SoundFileWatch::~SoundFileWatch() { m_pool.waitForDone(); }

void SoundFileWatch::requestCheck() {
    m_wanted = true;
    if (m_startQueued)
        return;
    m_startQueued = true;
    QMetaObject::invokeMethod(this, &SoundFileWatch::startIfWanted, Qt::QueuedConnection);
}

void SoundFileWatch::startIfWanted() {
    m_startQueued = false;
    if (!m_wanted || m_running)
        return;  // a check under way starts the next one when it is done
    m_wanted = false;
    m_running = true;
    QStringList paths;
    const int rows = m_model.rowCount();
    paths.reserve(rows);
    for (int r = 0; r < rows; ++r)
        paths << m_model.data(m_model.index(r, m_column)).toString();
    m_pool.start([this, paths = std::move(paths), pending = m_pending] {
        QHash<QString, QString> problems;
        QSet<QString> seen;
        for (const QString &path : paths) {
            if (seen.contains(path))
                continue;
            seen.insert(path);
            if (const QString problem = soundfilecheck::problem(path); !problem.isEmpty())
                problems.insert(path, problem);
        }
        {
            std::lock_guard lock(pending->lock);
            pending->result = std::move(problems);
        }
        // The watch outlives this job (its destructor waits for it); a call still queued when
        // it goes is dropped with it.
        QMetaObject::invokeMethod(this, &SoundFileWatch::deliver, Qt::QueuedConnection);
    });
}

void SoundFileWatch::deliver() {
    std::optional<QHash<QString, QString>> result;
    {
        std::lock_guard lock(m_pending->lock);
        result.swap(m_pending->result);
    }
    if (!result)
        return;  // already delivered
    m_running = false;
    // Shown also when unchanged: rows added since the last check may name a known bad file.
    m_show(*result);
    if (m_wanted)
        startIfWanted();
}

void SoundFileWatch::settle() {
    startIfWanted();
    while (m_running) {
        m_pool.waitForDone();
        deliver();
    }
}
