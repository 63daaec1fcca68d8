// GstBeep: a short tone pushed through appsrc into the named audio sink, on a thread of its own.
#include "broadcast/beep_gst.h"

#include "broadcast/gstplaybin.h"
#include "broadcast/logging.h"

#include <QThreadPool>

#include <gst/gst.h>
#include <cmath>

namespace {

constexpr int Rate = 44100;
constexpr int ToneMs = 150;
constexpr int FadeMs = 10;  // a raised-cosine fade at each end, so the tone starts and stops without a click
constexpr int GapMs = 100;  // silence after the tone, so beeps in a row are heard apart
constexpr double FrequencyHz = 880;
constexpr double Amplitude = 0.5;

GstBuffer *makeToneBuffer() {
    const int toneFrames = Rate * ToneMs / 1000, fadeFrames = Rate * FadeMs / 1000;
    const int frames = toneFrames + Rate * GapMs / 1000;
    GstBuffer *buffer = gst_buffer_new_allocate(nullptr, gsize(frames) * 2, nullptr);
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_WRITE);
    auto *samples = reinterpret_cast<gint16 *>(map.data);
    for (int i = 0; i < frames; ++i) {
        double v = 0;
        if (i < toneFrames) {
            const int edge = std::min(i, toneFrames - 1 - i);
            const double envelope = edge >= fadeFrames ? 1.0 : 0.5 - 0.5 * std::cos(M_PI * edge / fadeFrames);
            v = Amplitude * envelope * std::sin(2 * M_PI * FrequencyHz * i / Rate);
        }
        samples[i] = gint16(std::lround(v * 32767));
    }
    gst_buffer_unmap(buffer, &map);
    GST_BUFFER_PTS(buffer) = 0;
    GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale_int(frames, GST_SECOND, Rate);
    return buffer;
}

}  // namespace

// The tone's pipeline, used only on the beep's thread. Between beeps it waits in READY with
// the audio output open.
struct GstBeepTone {
    QString sinkName;
    GstElement *pipeline = nullptr;
    GstElement *source = nullptr;
    GstBuffer *tone = nullptr;

    ~GstBeepTone() {
        drop();
        if (tone)
            gst_buffer_unref(tone);
    }

    void drop() {
        if (source)
            gst_object_unref(std::exchange(source, nullptr));
        if (pipeline) {
            gst_element_set_state(pipeline, GST_STATE_NULL);
            gst_object_unref(std::exchange(pipeline, nullptr));
        }
    }

    // Made again after a failure, so a sound server that comes back is used again.
    bool ready() {
        if (pipeline)
            return true;
        startGStreamer();
        if (!tone)
            tone = makeToneBuffer();
        const QByteArray description =
            "appsrc name=source format=time caps=\"audio/x-raw,format=S16LE,layout=interleaved,rate=44100,channels=1\""
            " ! audioconvert ! audioresample ! " +
            sinkName.toUtf8();
        GError *err = nullptr;
        pipeline = gst_parse_launch_full(description.constData(), nullptr, GST_PARSE_FLAG_FATAL_ERRORS, &err);
        if (!pipeline) {
            qCWarning(lcPlayers) << "no beep:" << (err ? err->message : "");
            g_clear_error(&err);
            return false;
        }
        g_clear_error(&err);
        gst_object_ref_sink(pipeline);
        source = gst_bin_get_by_name(GST_BIN(pipeline), "source");
        if (gst_element_set_state(pipeline, GST_STATE_READY) == GST_STATE_CHANGE_FAILURE) {
            qCWarning(lcPlayers) << "no beep: audio output" << sinkName << "cannot be opened";
            drop();
            return false;
        }
        return true;
    }

    void sound() {
        if (!ready())
            return;
        GstFlowReturn flow = GST_FLOW_OK;
        gst_element_set_state(pipeline, GST_STATE_PLAYING);
        g_signal_emit_by_name(source, "push-buffer", tone, &flow);
        g_signal_emit_by_name(source, "end-of-stream", &flow);
        GstBus *bus = gst_element_get_bus(pipeline);
        GstMessage *msg =
            gst_bus_timed_pop_filtered(bus, 2 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        const bool ended = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
        if (msg)
            gst_message_unref(msg);
        gst_object_unref(bus);
        if (ended) {
            gst_element_set_state(pipeline, GST_STATE_READY);  // ready for the next tone, output still open
        } else {
            qCWarning(lcPlayers) << "the beep did not play through" << sinkName;
            drop();
        }
    }
};

GstBeep::GstBeep(const QString &audioSink)
    : m_tone(std::make_shared<GstBeepTone>()), m_thread(std::make_unique<QThreadPool>()),
      m_waiting(std::make_shared<std::atomic<int>>(0)) {
    m_tone->sinkName = audioSink;
    m_thread->setMaxThreadCount(1);  // one tone after another
}

GstBeep::~GstBeep() { m_thread->waitForDone(); }

void GstBeep::prepare() {
    m_thread->start([tone = m_tone] { tone->ready(); });
}

void GstBeep::beep() {
    if (m_waiting->fetch_add(1) >= MaxWaiting) {
        m_waiting->fetch_sub(1);
        return;
    }
    m_thread->start([tone = m_tone, waiting = m_waiting] {
        waiting->fetch_sub(1);
        tone->sound();
    });
}
