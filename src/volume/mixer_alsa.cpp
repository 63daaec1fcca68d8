// The ALSA simple mixer behind clsVolume: "Master" playback for the speaker, "Capture"
// (or "Mic") capture for the microphone.
#include "volume/mixer_alsa.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cmath>

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

class AlsaMixer : public MixerDevice {
public:
    explicit AlsaMixer(const QString &card) : m_card(card.toLocal8Bit()) {}
    ~AlsaMixer() override { close(); }

    bool open() override {
        close();
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
        m_everOpened = true;
        m_error = 0;
        m_speaker = find("Master", true);
        m_mic = find("Capture", false);
        if (!m_mic.elem)
            m_mic = find("Mic", false);
        return true;
    }

    int openError() const override { return m_error; }
    Line speaker() const override { return m_speaker.line(); }
    Line microphone() const override { return m_mic.line(); }
    bool setSpeaker(long value) override { return set(true, value); }
    bool setMicrophone(long value) override { return set(false, value); }

private:
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
        const bool has = playback ? snd_mixer_selem_has_playback_volume(elem) : snd_mixer_selem_has_capture_volume(elem);
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
        // old handle is dead. Open the mixer afresh and try once more; a mixer that never
        // opened stays closed, as start-up has already told the operator.
        if (!m_everOpened || !open())
            return false;
        return write(speaker ? m_speaker : m_mic, value);
    }

    void close() {
        if (m_handle)
            snd_mixer_close(m_handle);
        m_handle = nullptr;
        m_speaker = {};
        m_mic = {};
    }

    QByteArray m_card;
    snd_mixer_t *m_handle = nullptr;
    Control m_speaker;
    Control m_mic;
    int m_error = 0;
    bool m_everOpened = false;
};

}  // namespace

std::unique_ptr<MixerDevice> makeAlsaMixer(const QString &card) { return std::make_unique<AlsaMixer>(card); }
