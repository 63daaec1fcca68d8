// AsRunLogJournal: the as-run log's copy in the system journal, sent by a thread of its own.
#pragma once
#include "core/asrunlog.h"

#include <memory>

// Each entry becomes one journal message: MESSAGE the line as the day's file holds it,
// SYSLOG_IDENTIFIER "tollmere", and its fields TOLLMERE_EVENT, TOLLMERE_ITEM, TOLLMERE_FILE,
// TOLLMERE_PLANNED_SECOND, TOLLMERE_VOLUME, with TOLLMERE_FOLDER the program's folder (two
// programs may run on one PC). `journalctl -t tollmere` shows them on the PC, and the
// journal's own forwarding gathers them from every PC of a campus.
//
// record() only queues. A journal that is slow or stuck holds up no bell (sd_journal_send
// waits while the journal's socket is full); where no journal runs at all, libsystemd drops
// each entry at once without a word. What the journal refuses is counted and dropped, with
// one warning each time sending stops working. The as-run files depend on none of this.
class AsRunLogJournal : public AsRunLog {
public:
    // At most this many entries wait for the journal; more are dropped.
    static constexpr int MaxQueued = 10000;

    explicit AsRunLogJournal(const QString &folder);
    // Sends what is still queued; a journal that has not taken it within a second is left
    // behind, so that a stuck journal cannot keep the program from ending.
    ~AsRunLogJournal() override;

    using AsRunLog::record;
    void record(const AsRunEntry &entry) override;
    // Waits until every entry recorded so far has been sent or dropped.
    void flush();
    // Entries dropped so far because the journal refused them or the queue was full.
    int entriesLost() const;

private:
    struct Shared;  // the queue, shared with the sending thread, which may outlive this
    std::shared_ptr<Shared> m_shared;
};
