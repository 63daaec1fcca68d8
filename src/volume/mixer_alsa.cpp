// The ALSA simple mixer behind clsVolume, written from a worker thread: "Master" playback for
// the speaker, "Capture" (or "Mic") capture for the microphone.
#include "volume/mixer_alsa.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace alsamixer {

// The program computes volumes in 16-bit mixer units (0 to 65535). A card whose control
// has a narrower native range (hardware mixers often run 0..31 or 0..87) is shown as
// 0..65535 and every value is scaled into the native range, so the sliders work on any
// card. A range at least that wide (PulseAudio's 0..65536) is used as it is.
constexpr long Units = 65535;

MixerDevice::Line presentedLine(long nativeMin, long nativeMax) {
    if (nativeMax - nativeMin < Units)
        return {true, 0, Units};
    return {true, nativeMin, nativeMax};
}

// Values outside the control's bounds are clamped: the simple mixer would otherwise drop
// them without a word.
long nativeValue(long value, long nativeMin, long nativeMax) {
    if (nativeMax - nativeMin >= Units)
        return std::clamp(value, nativeMin, nativeMax);
    const long v = std::clamp(value, 0L, Units);
    return nativeMin + std::lround(double(v) * double(nativeMax - nativeMin) / double(Units));
}

}  // namespace alsamixer

namespace {

struct Control {
    snd_mixer_elem_t *elem = nullptr;
    bool playback = true;
    long nativeMin = 0;
    long nativeMax = 0;

    MixerDevice::Line line() const {
        if (!elem)
            return {};
        return alsamixer::presentedLine(nativeMin, nativeMax);
    }
    long native(long value) const { return alsamixer::nativeValue(value, nativeMin, nativeMax); }
};

// A write through PulseAudio's ALSA plugin waits for the server's acknowledgement (about
// 11 ms), and the volume dialog writes on every slider step, so writes are made by a worker
// thread of their own. The caller only records the newest value per line and wakes the
// worker, which sends whatever is newest when it gets to it: a drag of fifty steps becomes a
// handful of writes, the last of them the value the slider stopped at.
//
// The state lives in a shared object that the worker holds too, so that a worker stuck in a
// sound server that no longer answers can be left behind at close without touching freed
// memory. ALSA handles are not thread-safe: everything that touches the handle holds
// m_deviceLock (the worker, and open(), which the program calls once at start-up).
class AlsaCore {
public:
    explicit AlsaCore(QByteArray card) : m_card(std::move(card)) {}
    ~AlsaCore() { closeHandle(); }

    // --- the handle, under m_deviceLock ---

    // The first open takes the result of the one the worker began when the mixer was made;
    // any later one opens afresh.
    bool open() {
        {
            std::unique_lock l(m_lock);
            if (!m_earlyOpenTaken) {
                m_earlyOpenTaken = true;
                m_settled.wait(l, [this] { return m_earlyOpenDone; });
                return m_earlyOpenOk;
            }
        }
        std::lock_guard device(m_deviceLock);
        return openHandle();
    }

    // The worker: opens the mixer at once (start-up needs its ranges, and connecting to a
    // sound server is mostly waiting, which the window's building can overlap), then sends
    // the newest pending values whenever there are any.
    void run() {
        bool ok;
        {
            std::lock_guard device(m_deviceLock);
            ok = openHandle();
        }
        std::unique_lock l(m_lock);
        m_earlyOpenOk = ok;
        m_earlyOpenDone = true;
        m_settled.notify_all();
        for (;;) {
            m_wake.wait(l, [this] { return m_stop || m_speakerPending || m_micPending; });
            if (!m_speakerPending && !m_micPending)
                break;  // stopping, and everything asked for has been sent
            const std::optional<long> speaker = std::exchange(m_speakerPending, std::nullopt);
            const std::optional<long> mic = std::exchange(m_micPending, std::nullopt);
            const quint64 generation = m_requested;
            l.unlock();
            bool ok = true;
            {
                std::lock_guard device(m_deviceLock);
                if (speaker)
                    ok = set(true, *speaker) && ok;
                if (mic)
                    ok = set(false, *mic) && ok;
            }
            l.lock();
            m_sent = generation;
            m_lastOk = ok;
            m_writes += (speaker ? 1 : 0) + (mic ? 1 : 0);
            m_settled.notify_all();
        }
        m_finished = true;
        m_settled.notify_all();
    }

    // --- what the caller sees, under m_lock ---

    // Records the value for the worker; false when there is nowhere to send it.
    bool request(bool speaker, long value) {
        std::lock_guard l(m_lock);
        if (!m_everOpened || m_stop)
            return false;
        // With a handle, a line the card lacks refuses at once; without one (the server went
        // away) the worker will try to open the mixer again, as a direct write would.
        if (m_haveHandle && !(speaker ? m_speakerLine : m_micLine).present)
            return false;
        (speaker ? m_speakerPending : m_micPending) = value;
        ++m_requested;
        m_wake.notify_one();
        return true;
    }

    bool settle(int timeoutMs) {
        std::unique_lock l(m_lock);
        const bool arrived = m_settled.wait_for(l, std::chrono::milliseconds(std::max(timeoutMs, 0)),
                                                [this] { return m_sent == m_requested || m_finished; });
        return arrived && m_sent == m_requested && m_lastOk;
    }

    // Asks the worker to send what is still pending and end; true when it ended within the
    // time given.
    bool stop(int timeoutMs) {
        std::unique_lock l(m_lock);
        m_stop = true;
        m_wake.notify_one();
        return m_settled.wait_for(l, std::chrono::milliseconds(timeoutMs), [this] { return m_finished; });
    }

    // Called just before the worker starts: the first open() waits for its result.
    void startWorker() {
        std::lock_guard l(m_lock);
        m_earlyOpenTaken = false;
    }

    MixerDevice::Line line(bool speaker) const {
        std::lock_guard l(m_lock);
        return speaker ? m_speakerLine : m_micLine;
    }
    bool everOpened() const {
        std::lock_guard l(m_lock);
        return m_everOpened;
    }
    quint64 writes() const {
        std::lock_guard l(m_lock);
        return m_writes;
    }
    int error() const { return m_error; }

private:
    bool openHandle() {
        closeHandle();
        snd_mixer_t *handle = nullptr;
        int rc = snd_mixer_open(&handle, 0);
        if (rc == 0 && (rc = snd_mixer_attach(handle, m_card.constData())) == 0 &&
            (rc = snd_mixer_selem_register(handle, nullptr, nullptr)) == 0)
            rc = snd_mixer_load(handle);
        if (rc < 0) {
            if (handle)
                snd_mixer_close(handle);
            m_error = rc;
            return false;
        }
        m_handle = handle;
        m_error = 0;
        m_speaker = find("Master", true);
        m_mic = find("Capture", false);
        if (!m_mic.elem)
            m_mic = find("Mic", false);
        std::lock_guard l(m_lock);
        m_everOpened = true;
        m_haveHandle = true;
        m_speakerLine = m_speaker.line();
        m_micLine = m_mic.line();
        return true;
    }

    Control find(const char *name, bool playback) const {
        snd_mixer_selem_id_t *id = nullptr;
        snd_mixer_selem_id_malloc(&id);
        snd_mixer_selem_id_set_index(id, 0);
        snd_mixer_selem_id_set_name(id, name);
        Control c;
        snd_mixer_elem_t *elem = snd_mixer_find_selem(m_handle, id);
        snd_mixer_selem_id_free(id);
        if (!elem)
            return c;
        const bool has =
            playback ? snd_mixer_selem_has_playback_volume(elem) : snd_mixer_selem_has_capture_volume(elem);
        if (!has)
            return c;
        long min = 0, max = 0;
        const int rc = playback ? snd_mixer_selem_get_playback_volume_range(elem, &min, &max)
                                : snd_mixer_selem_get_capture_volume_range(elem, &min, &max);
        if (rc < 0 || max < min)
            return c;
        c.elem = elem;
        c.playback = playback;
        c.nativeMin = min;
        c.nativeMax = max;
        return c;
    }

    bool write(const Control &c, long value) {
        if (!m_handle || !c.elem)
            return false;
        // Take in what the card reported since the last write (other programs changing its
        // volumes): over months unread events would pile up in the connection.
        snd_mixer_handle_events(m_handle);
        const long v = c.native(value);
        const int rc = c.playback ? snd_mixer_selem_set_playback_volume_all(c.elem, v)
                                  : snd_mixer_selem_set_capture_volume_all(c.elem, v);
        return rc == 0;
    }

    bool set(bool speaker, long value) {
        if (m_handle && !(speaker ? m_speaker : m_mic).elem)
            return false;  // the card has no such control
        if (write(speaker ? m_speaker : m_mic, value))
            return true;
        // The program runs for months: if the sound server behind the card restarted, the
        // old handle is dead. Open the mixer afresh and try once more.
        if (!openHandle())
            return false;
        return write(speaker ? m_speaker : m_mic, value);
    }

    void closeHandle() {
        if (m_handle)
            snd_mixer_close(m_handle);
        m_handle = nullptr;
        m_speaker = {};
        m_mic = {};
        std::lock_guard l(m_lock);
        m_haveHandle = false;
    }

    const QByteArray m_card;

    std::mutex m_deviceLock;
    snd_mixer_t *m_handle = nullptr;
    Control m_speaker;
    Control m_mic;
    std::atomic<int> m_error{0};

    mutable std::mutex m_lock;          // never held while waiting for m_deviceLock or the device
    std::condition_variable m_wake;     // the worker: there is something to send, or stop
    std::condition_variable m_settled;  // the callers: a pass ended, or the worker did
    bool m_everOpened = false;
    bool m_haveHandle = false;
    MixerDevice::Line m_speakerLine;
    MixerDevice::Line m_micLine;
    std::optional<long> m_speakerPending;
    std::optional<long> m_micPending;
    quint64 m_requested = 0;  // values asked for so far
    quint64 m_sent = 0;       // of those, the ones the worker has dealt with
    bool m_lastOk = true;     // how the card took the newest of them
    quint64 m_writes = 0;     // values sent to the card
    bool m_stop = false;
    bool m_finished = false;
    bool m_earlyOpenTaken = true;  // no worker, no early open to wait for
    bool m_earlyOpenDone = false;
    bool m_earlyOpenOk = false;
};

class AlsaMixer : public MixerDevice {
public:
    explicit AlsaMixer(const QString &card) : m_core(std::make_shared<AlsaCore>(card.toLocal8Bit())) {
        m_core->startWorker();
        m_worker = std::thread([core = m_core] { core->run(); });
    }

    ~AlsaMixer() override {
        if (!m_worker.joinable())
            return;
        // The last value the operator chose still goes out. A sound server that does not
        // answer must not hold up the program's exit: the worker is then left to finish on
        // its own, keeping the state it shares alive.
        if (m_core->stop(CloseWaitMs))
            m_worker.join();
        else
            m_worker.detach();
    }

    bool open() override { return m_core->open(); }
    int openError() const override { return m_core->error(); }
    Line speaker() const override { return m_core->line(true); }
    Line microphone() const override { return m_core->line(false); }
    bool setSpeaker(long value) override { return m_core->request(true, value); }
    bool setMicrophone(long value) override { return m_core->request(false, value); }
    bool settle(int timeoutMs) override { return m_core->settle(timeoutMs); }

    quint64 writes() const { return m_core->writes(); }

private:
    static constexpr int CloseWaitMs = 500;
    std::shared_ptr<AlsaCore> m_core;
    std::thread m_worker;
};

}  // namespace

std::unique_ptr<MixerDevice> makeAlsaMixer(const QString &card) { return std::make_unique<AlsaMixer>(card); }

qint64 alsamixer::writesMade(const MixerDevice &mixer) {
    const auto *alsa = dynamic_cast<const AlsaMixer *>(&mixer);
    return alsa ? qint64(alsa->writes()) : -1;
}
