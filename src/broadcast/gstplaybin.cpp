// GstPlaybin: one GStreamer playbin sounding through a named audio sink, its bus read on the UI thread.
#include "broadcast/gstplaybin.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPointer>
#include <QThreadPool>
#include <QUrl>

#include <gst/gst.h>

Q_LOGGING_CATEGORY(lcPlayer, "tollmere.player")

namespace {

// playbin's GstPlayFlags value for "decode and play audio"; video and subtitles are never
// wanted on a public-address system.
constexpr int PlayFlagAudio = 1 << 1;

void ensureGstInit() {
    static std::once_flag once;
    std::call_once(once, [] {
        GError *err = nullptr;
        if (!gst_init_check(nullptr, nullptr, &err)) {
            qCWarning(lcPlayer) << "GStreamer could not start:" << (err ? err->message : "");
            g_clear_error(&err);
        }
    });
}

const QByteArray &soundFontBytes() {
    static const QByteArray path = GstPlaybin::soundFontPath().toLocal8Bit();
    return path;
}

}  // namespace

struct GstPlaybinCallbacks {
    // fluiddec is created deep inside playbin's decoder when a MIDI file is found; it needs the
    // soundfont before it starts, and this signal comes right after the element is made (on a
    // streaming thread).
    static void onElementSetup(GstElement *playbin, GstElement *element, gpointer self);
    // Runs on whichever thread posts; the message stays queued on the bus for drainBus().
    static GstBusSyncReply onSyncMessage(GstBus *bus, GstMessage *msg, gpointer self);
    static void onHandoff(GstElement *sink, GstBuffer *buffer, GstPad *pad, gpointer self);
};

void GstPlaybinCallbacks::onElementSetup(GstElement *, GstElement *element, gpointer self) {
    GstElementFactory *factory = gst_element_get_factory(element);
    if (!factory || g_strcmp0(GST_OBJECT_NAME(factory), "fluiddec") != 0)
        return;
    if (!soundFontBytes().isEmpty())
        g_object_set(element, "soundfont", soundFontBytes().constData(), nullptr);
    auto *p = static_cast<GstPlaybin *>(self);
    std::lock_guard lock(p->m_synthLock);
    p->m_synths.push_back(GST_ELEMENT(gst_object_ref(element)));
}

void GstPlaybin::releaseRetiredSynths() {
    std::vector<GstElement *> retired;
    {
        std::lock_guard lock(m_synthLock);
        for (auto it = m_synths.begin(); it != m_synths.end();) {
            GstObject *parent = gst_object_get_parent(GST_OBJECT(*it));
            if (parent) {
                gst_object_unref(parent);
                ++it;
            } else {
                retired.push_back(*it);
                it = m_synths.erase(it);
            }
        }
    }
    if (retired.empty())
        return;
    QThreadPool::globalInstance()->start([retired] {
        for (GstElement *e : retired)
            gst_object_unref(e);
    });
}

QString GstPlaybin::soundFontPath() {
    // timgm6mb-soundfont installs TimGM6mb.sf2; default-GM.sf2 is Debian's alternatives link
    // to whichever General MIDI soundfont is preferred on the machine.
    static const char *const candidates[] = {
        "/usr/share/sounds/sf2/default-GM.sf2",
        "/usr/share/sounds/sf2/TimGM6mb.sf2",
        "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    };
    for (const char *c : candidates) {
        const QFileInfo fi(QString::fromLatin1(c));
        if (fi.exists() && fi.isReadable())
            return fi.canonicalFilePath();
    }
    return {};
}

GstPlaybin::GstPlaybin(const QString &audioSink, QObject *parent) : QObject(parent), m_sinkName(audioSink) {}

// Starting GStreamer (its plugin registry) and making a playbin take longer than building
// the main window does, so neither happens until a file is first loaded.
bool GstPlaybin::ensurePipeline() {
    if (m_built)
        return m_pipeline && m_sink;
    m_built = true;
    ensureGstInit();
    m_pipeline = gst_element_factory_make("playbin", nullptr);
    if (!m_pipeline) {
        qCWarning(lcPlayer) << "GStreamer has no playbin; nothing can be played";
        return false;
    }
    gst_object_ref_sink(m_pipeline);
    g_object_set(m_pipeline, "flags", PlayFlagAudio, nullptr);
    g_signal_connect(m_pipeline, "element-setup", G_CALLBACK(&GstPlaybinCallbacks::onElementSetup), this);

    m_sink = gst_element_factory_make(m_sinkName.toUtf8().constData(), nullptr);
    if (m_sink) {
        gst_object_ref_sink(m_sink);
        if (m_sinkName == QLatin1String("fakesink")) {
            g_object_set(m_sink, "sync", TRUE, nullptr);
            g_signal_connect(m_sink, "handoff", G_CALLBACK(&GstPlaybinCallbacks::onHandoff), this);
        }
        g_object_set(m_pipeline, "audio-sink", m_sink, nullptr);
    } else {
        qCWarning(lcPlayer) << "audio output" << m_sinkName << "is not available; nothing will be played";
    }

    m_bus = gst_element_get_bus(m_pipeline);
    gst_bus_set_sync_handler(m_bus, &GstPlaybinCallbacks::onSyncMessage, this, nullptr);
    return m_sink != nullptr;
}

bool GstPlaybin::sinkReady() { return ensurePipeline(); }

GstPlaybin::~GstPlaybin() {
    if (!m_pipeline)
        return;
    // Going to NULL joins every streaming thread, so once it returns nothing posts to the bus
    // any more and the sync handler can go without a race against this object's end.
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    gst_bus_set_sync_handler(m_bus, nullptr, nullptr, nullptr);
    gst_object_unref(m_bus);
    gst_object_unref(m_pipeline);
    if (m_sink)
        gst_object_unref(m_sink);
    for (GstElement *e : m_synths)
        gst_object_unref(e);
}

GstBusSyncReply GstPlaybinCallbacks::onSyncMessage(GstBus *, GstMessage *, gpointer self) {
    auto *p = static_cast<GstPlaybin *>(self);
    if (!p->m_drainQueued.exchange(true))
        QMetaObject::invokeMethod(p, "drainBus", Qt::QueuedConnection);
    return GST_BUS_PASS;
}

void GstPlaybinCallbacks::onHandoff(GstElement *, GstBuffer *, GstPad *, gpointer self) {
    auto *p = static_cast<GstPlaybin *>(self);
    std::function<void()> fn;
    {
        std::lock_guard lock(p->m_observerLock);
        fn = std::move(p->m_firstBufferObserver);
        p->m_firstBufferObserver = nullptr;
        if (fn)
            g_object_set(p->m_sink, "signal-handoffs", FALSE, nullptr);
    }
    if (fn)
        fn();
}

void GstPlaybin::armFirstBufferObserver(std::function<void()> fn) {
    if (!ensurePipeline())
        return;
    std::lock_guard lock(m_observerLock);
    m_firstBufferObserver = std::move(fn);
    g_object_set(m_sink, "signal-handoffs", TRUE, nullptr);
}

void GstPlaybin::drainBus() {
    m_drainQueued = false;
    QPointer<GstPlaybin> alive(this);
    while (alive && m_bus) {
        GstMessage *msg = gst_bus_pop(m_bus);
        if (!msg)
            break;
        handle(msg);  // may emit, and a receiver may rewind, unload or even delete us
        gst_message_unref(msg);
    }
}

void GstPlaybin::handle(GstMessage *msg) {
    switch (GST_MESSAGE_TYPE(msg)) {
    case GST_MESSAGE_ERROR: {
        if (m_failed || !m_loaded)
            return;
        GError *err = nullptr;
        gchar *debug = nullptr;
        gst_message_parse_error(msg, &err, &debug);
        const QString text = QString::fromUtf8(err ? err->message : "unknown error");
        g_clear_error(&err);
        g_free(debug);
        qCWarning(lcPlayer) << "cannot play" << m_path << ":" << text;
        m_failed = true;
        m_playing = false;
        // Stop the streaming threads now; later errors of the same failure are dropped.
        setState(GST_STATE_READY);
        flushBus();
        releaseRetiredSynths();
        emit failed(text);
        return;
    }
    case GST_MESSAGE_EOS:
        if (!m_loaded)
            return;
        m_playing = false;
        emit endOfStream();
        return;
    case GST_MESSAGE_STATE_CHANGED: {
        if (GST_MESSAGE_SRC(msg) != GST_OBJECT(m_pipeline))
            return;
        GstState oldState, newState, pending;
        gst_message_parse_state_changed(msg, &oldState, &newState, &pending);
        if (newState == GST_STATE_PLAYING && !m_playing) {
            m_playing = true;
            emit reachedPlaying();
        }
        return;
    }
    case GST_MESSAGE_ASYNC_DONE:
    case GST_MESSAGE_DURATION_CHANGED:
        if (durationMs())
            emit durationKnown();
        return;
    default: return;
    }
}

void GstPlaybin::setState(int state) {
    if (m_pipeline)
        gst_element_set_state(m_pipeline, static_cast<GstState>(state));
}

void GstPlaybin::flushBus() {
    // Messages still queued belong to what was just stopped (an end of stream that raced a
    // stop, say) and must not be taken for news about what comes next.
    if (!m_bus)
        return;
    gst_bus_set_flushing(m_bus, TRUE);
    gst_bus_set_flushing(m_bus, FALSE);
}

bool GstPlaybin::load(const QString &path) {
    unload();
    if (!ensurePipeline() || path.isEmpty())
        return false;
    QFile probe(path);
    if (!QFileInfo(path).isFile() || !probe.open(QIODevice::ReadOnly))
        return false;
    probe.close();
    m_path = path;
    const QByteArray uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
    g_object_set(m_pipeline, "uri", uri.constData(), nullptr);
    m_loaded = true;
    // Prerolling now lets a following play() start at once; a failure arrives on the bus.
    setState(GST_STATE_PAUSED);
    return true;
}

void GstPlaybin::play() {
    if (m_loaded && !m_failed)
        setState(GST_STATE_PLAYING);
}

void GstPlaybin::pause() {
    if (m_loaded && !m_failed) {
        setState(GST_STATE_PAUSED);
        m_playing = false;
    }
}

void GstPlaybin::rewind() {
    if (!m_loaded)
        return;
    setState(GST_STATE_READY);
    flushBus();
    releaseRetiredSynths();
    m_playing = false;
}

void GstPlaybin::unload() {
    setState(GST_STATE_NULL);
    flushBus();
    releaseRetiredSynths();
    m_loaded = false;
    m_failed = false;
    m_playing = false;
    m_path.clear();
}

std::optional<qint64> GstPlaybin::durationMs() const {
    gint64 d = 0;
    if (!m_loaded || !m_pipeline || !gst_element_query_duration(m_pipeline, GST_FORMAT_TIME, &d) || d <= 0)
        return std::nullopt;
    return d / GST_MSECOND;
}
