// The ALSA simple mixer behind clsVolume, opened and written from a worker thread. The speaker
// is the first of "Master", "PCM", "Speaker", "Headphone" the card has, else its first control
// with a playback volume; the microphone likewise "Capture", "Mic", else the first capture volume.
#include "volume/mixer_alsa.h"

#include "volume/logging.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
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

// Names of the controls looked for, best first; a card that has none of them still has its
// first control of the right kind used.
constexpr const char *SpeakerNames[] = {"Master", "PCM", "Speaker", "Headphone"};
constexpr const char *MicNames[] = {"Capture", "Mic"};

// A write through PulseAudio's ALSA plugin waits for the server's acknowledgement (about
// 11 ms), and the volume dialog writes on every slider step, so writes are made by a worker
// thread of their own. The caller only records the newest value per line and wakes the
// worker, which sends whatever is newest when it gets to it: a drag of fifty steps becomes a
// handful of writes, the last of them the value the slider stopped at.
//
// Opening is the worker's too. A sound server that accepts the connection but does not answer
// holds an open for half a minute; the program waits for an open only a bounded time and goes
// on without ranges, while the worker finishes the open, and a value written later makes the
// worker open the mixer again if it still has none.
//
// The state lives in a shared object that the worker holds too, so that a worker stuck in a
// sound server that no longer answers can be left behind at close without touching freed
// memory. ALSA handles are not thread-safe: only the worker touches the handle.
class AlsaCore {
public:
    explicit AlsaCore(QByteArray card) : m_card(std::move(card)) {}
    ~AlsaCore() { closeHandle(); }

    // --- called by the worker ---

    // Opens the mixer at once (start-up needs its ranges, and connecting to a sound server is
    // mostly waiting, which the window's building can overlap), then opens again when asked
    // and sends the newest pending values whenever there are any.
    void run() {
        std::unique_lock l(m_lock);
        for (;;) {
            m_wake.wait(l,
                        [this] { return m_stop || m_openAnswered < m_openAsked || m_speakerPending || m_micPending; });
            if (m_openAnswered < m_openAsked) {
                const quint64 asked = m_openAsked;
                l.unlock();
                const int rc = openHandle();
                l.lock();
                m_openAnswered = asked;
                m_openRc = rc;
                m_settled.notify_all();
                continue;
            }
            if (!m_speakerPending && !m_micPending)
                break;  // stopping, and everything asked for has been sent
            const std::optional<long> speaker = std::exchange(m_speakerPending, std::nullopt);
            const std::optional<long> mic = std::exchange(m_micPending, std::nullopt);
            const quint64 generation = m_requested;
            l.unlock();
            bool ok = true;
            if (speaker)
                ok = set(true, *speaker) && ok;
            if (mic)
                ok = set(false, *mic) && ok;
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

    // The first open takes the result of the one the worker began when the mixer was made;
    // any later one asks the worker to open afresh. Either waits at most waitMs: a mixer
    // that has not answered by then counts as not opened, and the worker goes on.
    bool open(int waitMs) {
        std::unique_lock l(m_lock);
        if (m_earlyOpenTaken) {
            ++m_openAsked;
            m_wake.notify_one();
        }
        m_earlyOpenTaken = true;
        const quint64 asked = m_openAsked;
        const bool answered = m_settled.wait_for(l, std::chrono::milliseconds(waitMs),
                                                 [&] { return m_openAnswered >= asked || m_finished; });
        if (!answered) {
            m_openError = -ETIMEDOUT;
            qCWarning(lcMixer) << "the mixer of" << m_card << "did not open within" << waitMs
                               << "ms; it is still being opened in the background";
            return false;
        }
        m_openError = m_finished && m_openAnswered < asked ? -ENODEV : m_openRc;
        return m_openError == 0;
    }

    // Records the value for the worker; false when there is nowhere to send it. Before the
    // mixer has opened the value is taken: the worker opens the mixer to send it.
    bool request(bool speaker, long value) {
        std::lock_guard l(m_lock);
        if (m_stop)
            return false;
        // With a handle, a line the card lacks refuses at once; without one (never opened, or
        // the server went away) the worker tries to open the mixer first.
        if (m_haveHandle && !(speaker ? m_speakerLine : m_micLine).present) {
            qCWarning(lcMixer) << "the card has no" << (speaker ? "speaker" : "microphone") << "volume control; value"
                               << value << "not sent";
            return false;
        }
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

    // Called just before the worker starts: it opens the mixer at once, and the first open()
    // waits for that.
    void startWorker() {
        std::lock_guard l(m_lock);
        m_earlyOpenTaken = false;
        ++m_openAsked;
    }

    MixerDevice::Line line(bool speaker) const {
        std::lock_guard l(m_lock);
        return speaker ? m_speakerLine : m_micLine;
    }
    quint64 writes() const {
        std::lock_guard l(m_lock);
        return m_writes;
    }
    int error() const {
        std::lock_guard l(m_lock);
        return m_openError;
    }
    QByteArray card() const { return m_card; }

private:
    // --- the handle, touched by the worker only ---

    // 0, or ALSA's negative error code. The configuration is read afresh for every open: ALSA
    // decides at reading whether the default card is the sound server's, and a server that
    // came up after the program started would otherwise never be used.
    int openHandle() {
        closeHandle();
        snd_config_t *config = nullptr;
        snd_config_update_t *update = nullptr;
        snd_ctl_t *ctl = nullptr;
        snd_hctl_t *hctl = nullptr;
        snd_mixer_t *handle = nullptr;
        int rc = snd_config_update_r(&config, &update, nullptr);
        if (update)
            snd_config_update_free(update);
        if (rc >= 0)
            rc = snd_ctl_open_lconf(&ctl, m_card.constData(), 0, config);
        if (rc >= 0 && (rc = snd_hctl_open_ctl(&hctl, ctl)) < 0)
            snd_ctl_close(ctl);
        if (rc >= 0 && (rc = snd_mixer_open(&handle, 0)) < 0)
            snd_hctl_close(hctl);
        if (rc >= 0 && (rc = snd_mixer_attach_hctl(handle, hctl)) >= 0 &&
            (rc = snd_mixer_selem_register(handle, nullptr, nullptr)) >= 0)
            rc = snd_mixer_load(handle);
        if (rc < 0) {
            if (handle)
                snd_mixer_close(handle);  // closes the attached hctl too
            if (config)
                snd_config_delete(config);
            qCWarning(lcMixer) << "cannot open the mixer of" << m_card << ":" << snd_strerror(rc);
            return rc;
        }
        m_handle = handle;
        m_config = config;
        m_speaker = find(SpeakerNames, true);
        m_mic = find(MicNames, false);
        if (!m_speaker.elem)
            qCWarning(lcMixer) << "the card" << m_card << "has no playback volume control";
        std::lock_guard l(m_lock);
        m_haveHandle = true;
        m_speakerLine = m_speaker.line();
        m_micLine = m_mic.line();
        return 0;
    }

    template <std::size_t N>
    Control find(const char *const (&names)[N], bool playback) const {
        for (const char *name : names) {
            snd_mixer_selem_id_t *id = nullptr;
            snd_mixer_selem_id_malloc(&id);
            snd_mixer_selem_id_set_index(id, 0);
            snd_mixer_selem_id_set_name(id, name);
            snd_mixer_elem_t *elem = snd_mixer_find_selem(m_handle, id);
            snd_mixer_selem_id_free(id);
            if (const Control c = control(elem, playback); c.elem)
                return c;
        }
        for (snd_mixer_elem_t *elem = snd_mixer_first_elem(m_handle); elem; elem = snd_mixer_elem_next(elem))
            if (const Control c = control(elem, playback); c.elem)
                return c;
        return {};
    }

    // The element as a volume control of the kind wanted, or none.
    static Control control(snd_mixer_elem_t *elem, bool playback) {
        if (!elem || !snd_mixer_selem_is_active(elem))
            return {};
        const bool has =
            playback ? snd_mixer_selem_has_playback_volume(elem) : snd_mixer_selem_has_capture_volume(elem);
        if (!has)
            return {};
        long min = 0, max = 0;
        const int rc = playback ? snd_mixer_selem_get_playback_volume_range(elem, &min, &max)
                                : snd_mixer_selem_get_capture_volume_range(elem, &min, &max);
        if (rc < 0 || max < min)
            return {};
        return {elem, playback, min, max};
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
        if (rc < 0)
            qCWarning(lcMixer) << "the card refused volume" << v << ":" << snd_strerror(rc);
        return rc == 0;
    }

    bool set(bool speaker, long value) {
        if (m_handle && !(speaker ? m_speaker : m_mic).elem)
            return false;  // the card has no such control
        if (m_handle && write(speaker ? m_speaker : m_mic, value))
            return true;
        // No mixer yet (the sound server was not there at start-up), or the program has run
        // for months and the sound server behind the card restarted, leaving the old handle
        // dead: open the mixer afresh and try once more.
        if (openHandle() != 0)
            return false;
        return write(speaker ? m_speaker : m_mic, value);
    }

    void closeHandle() {
        if (m_handle)
            snd_mixer_close(m_handle);
        if (m_config)
            snd_config_delete(m_config);
        m_handle = nullptr;
        m_config = nullptr;
        m_speaker = {};
        m_mic = {};
        std::lock_guard l(m_lock);
        m_haveHandle = false;
    }

    const QByteArray m_card;

    snd_mixer_t *m_handle = nullptr;
    snd_config_t *m_config = nullptr;
    Control m_speaker;
    Control m_mic;

    mutable std::mutex m_lock;          // never held while the device is being talked to
    std::condition_variable m_wake;     // the worker: there is something to open or send, or stop
    std::condition_variable m_settled;  // the callers: an open or a pass ended, or the worker did
    bool m_haveHandle = false;
    MixerDevice::Line m_speakerLine;
    MixerDevice::Line m_micLine;
    quint64 m_openAsked = 0;     // opens asked of the worker so far
    quint64 m_openAnswered = 0;  // the newest of them that the worker has finished
    int m_openRc = 0;            // how that one ended
    int m_openError = 0;         // what the last open() reported
    std::optional<long> m_speakerPending;
    std::optional<long> m_micPending;
    quint64 m_requested = 0;  // values asked for so far
    quint64 m_sent = 0;       // of those, the ones the worker has dealt with
    bool m_lastOk = true;     // how the card took the newest of them
    quint64 m_writes = 0;     // values sent to the card
    bool m_stop = false;
    bool m_finished = false;
    bool m_earlyOpenTaken = true;  // no worker, no early open to wait for
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
        if (m_core->stop(CloseWaitMs)) {
            m_worker.join();
        } else {
            qCWarning(lcMixer) << "the mixer of" << m_core->card() << "did not finish within" << CloseWaitMs
                               << "ms; left to finish on its own";
            m_worker.detach();
        }
    }

    bool open() override { return m_core->open(OpenWaitMs); }
    int openError() const override { return m_core->error(); }
    Line speaker() const override { return m_core->line(true); }
    Line microphone() const override { return m_core->line(false); }
    bool setSpeaker(long value) override { return m_core->request(true, value); }
    bool setMicrophone(long value) override { return m_core->request(false, value); }
    bool settle(int timeoutMs) override { return m_core->settle(timeoutMs); }

    quint64 writes() const { return m_core->writes(); }

private:
    static constexpr int CloseWaitMs = 500;
    // Start-up waits this long for the mixer's ranges; a sound server answers in milliseconds
    // when it answers at all.
    static constexpr int OpenWaitMs = 2000;
    std::shared_ptr<AlsaCore> m_core;
    std::thread m_worker;
};

}  // namespace

std::unique_ptr<MixerDevice> makeAlsaMixer(const QString &card) { return std::make_unique<AlsaMixer>(card); }

qint64 alsamixer::writesMade(const MixerDevice &mixer) {
    const auto *alsa = dynamic_cast<const AlsaMixer *>(&mixer);
    return alsa ? qint64(alsa->writes()) : -1;
}
