// The as-run log's sender to the system journal (libsystemd's sd_journal_sendv).
#include "core/asrunlogjournal.h"

#include "core/logging.h"

#include <sys/uio.h>
#include <systemd/sd-journal.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

struct AsRunLogJournal::Shared {
    QByteArray folder;
    mutable std::mutex lock;
    std::condition_variable wake;  // entries queued, or the end
    std::condition_variable sent;  // a batch has been sent, or the sender has finished
    std::deque<AsRunEntry> queue;
    quint64 recorded = 0, done = 0;
    int lost = 0;
    bool ending = false, finished = false;
    bool failing = false;  // the last send failed: warn again only once one has worked

    // 0 when the journal took it, or the negative errno of sd_journal_sendv.
    int send(const AsRunEntry &entry) const {
        std::vector<QByteArray> fields{"SYSLOG_IDENTIFIER=tollmere", "PRIORITY=6",
                                       "MESSAGE=" + asrun::oneLine(entry.text).toUtf8(), "TOLLMERE_FOLDER=" + folder};
        const auto add = [&](const char *key, const QString &value) {
            if (!value.isEmpty())
                fields.push_back(key + value.toUtf8());
        };
        add("TOLLMERE_EVENT=", entry.event);
        add("TOLLMERE_ITEM=", entry.name);
        add("TOLLMERE_FILE=", entry.file);
        add("TOLLMERE_PLANNED_SECOND=", entry.plannedSecond < 0 ? QString() : QString::number(entry.plannedSecond));
        add("TOLLMERE_VOLUME=", entry.volume < 0 ? QString() : QString::number(entry.volume));
        // A field's value may hold any byte, a newline in a file name too: each goes with its length.
        std::vector<iovec> parts;
        for (QByteArray &field : fields)
            parts.push_back({field.data(), size_t(field.size())});
        return sd_journal_sendv(parts.data(), int(parts.size()));
    }

    void run() {
        std::deque<AsRunEntry> batch;
        for (;;) {
            {
                std::unique_lock guard(lock);
                wake.wait(guard, [this] { return ending || !queue.empty(); });
                if (queue.empty()) {
                    finished = true;
                    sent.notify_all();
                    return;
                }
                batch.swap(queue);
            }
            int failed = 0, error = 0;
            for (const AsRunEntry &entry : batch) {
                if (const int r = send(entry); r < 0) {
                    ++failed;
                    error = r;
                }
            }
            if (failed > 0 && !failing)
                qCWarning(lcFiles) << "the as-run log cannot be sent to the system journal:" << std::strerror(-error);
            failing = failed > 0;
            const size_t count = batch.size();
            batch.clear();
            {
                std::lock_guard guard(lock);
                lost += failed;
                done += count;
            }
            sent.notify_all();
        }
    }
};

AsRunLogJournal::AsRunLogJournal(const QString &folder) : m_shared(std::make_shared<Shared>()) {
    m_shared->folder = folder.toUtf8();
    std::thread([shared = m_shared] { shared->run(); }).detach();
}

AsRunLogJournal::~AsRunLogJournal() {
    std::unique_lock guard(m_shared->lock);
    m_shared->ending = true;
    m_shared->wake.notify_one();
    m_shared->sent.wait_for(guard, std::chrono::seconds(1), [this] { return m_shared->finished; });
}

void AsRunLogJournal::record(const AsRunEntry &entry) {
    {
        std::lock_guard guard(m_shared->lock);
        ++m_shared->recorded;
        if (m_shared->queue.size() >= MaxQueued) {
            ++m_shared->lost;
            ++m_shared->done;
            return;
        }
        m_shared->queue.push_back(entry);
    }
    m_shared->wake.notify_one();
}

void AsRunLogJournal::flush() {
    std::unique_lock guard(m_shared->lock);
    const quint64 target = m_shared->recorded;
    m_shared->sent.wait(guard, [&] { return m_shared->done >= target || m_shared->finished; });
}

int AsRunLogJournal::entriesLost() const {
    std::lock_guard guard(m_shared->lock);
    return m_shared->lost;
}
