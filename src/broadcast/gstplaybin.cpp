// GstPlaybin: one GStreamer playbin sounding through a named audio sink, its bus read on the UI thread.
#include "broadcast/gstplaybin.h"

#include "broadcast/logging.h"
#include "core/regularfile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPointer>
#include <QThreadPool>
#include <QUrl>

#include <gst/gst.h>

namespace {

// playbin's GstPlayFlags value for "decode and play audio"; video and subtitles are never
// wanted on a public-address system.
constexpr int PlayFlagAudio = 1 << 1;

const QByteArray &soundFontBytes() {
    static const QByteArray path = GstPlaybin::soundFontPath().toLocal8Bit();
    return path;
}

// Loads the plugins and initialises the element classes that playing a WAV or an MP3 file
// brings in, so that the first file of a run does not wait for them. Elements that are not
// installed are passed over: the file that needs one fails then as it would have anyway.
void warmUpPlugins() {
    static std::once_flag once;
    std::call_once(once, [] {
        static const char *const elements[] = {
            "playbin",       "uridecodebin", "decodebin", "typefind",           "filesrc",        "queue",
            "wavparse",      "id3demux",     "apedemux",  "mpegaudioparse",     "mpg123audiodec", "audioconvert",
            "audioresample", "volume",       "playsink",  "streamsynchronizer",
        };
        for (const char *name : elements)
            if (GstElement *e = gst_element_factory_make(name, nullptr))
                gst_object_unref(gst_object_ref_sink(e));
        // Type finding tries every type finder on a new file; they come in one plugin.
        GList *finders = gst_type_find_factory_get_list();
        for (GList *l = finders; l; l = l->next)
            if (GstPluginFeature *f = gst_plugin_feature_load(GST_PLUGIN_FEATURE(l->data)))
                gst_object_unref(f);
        gst_plugin_feature_list_free(finders);
    });
}

// A Standard MIDI File; anything else goes through playbin, which finds out what it is.
bool isMidiFile(QFile &file) { return file.read(4) == "MThd"; }

// Makes the MIDI chain and takes it to READY, where the synthesiser loads its soundfont
// (tens of milliseconds for a General MIDI font). Null when an element is missing, the
// soundfont cannot be loaded or the output cannot be opened.
GstElement *makeSynthChain(const QString &sinkName) {
    const QByteArray description =
        "filesrc name=source ! midiparse ! fluiddec name=synth ! audioconvert"
        " ! audioresample ! " +
        sinkName.toUtf8() + " name=sink";
    GError *err = nullptr;
    GstElement *chain = gst_parse_launch_full(description.constData(), nullptr, GST_PARSE_FLAG_FATAL_ERRORS, &err);
    if (!chain) {
        qCWarning(lcPlayers) << "no MIDI synthesiser:" << (err ? err->message : "");
        g_clear_error(&err);
        return nullptr;
    }
    g_clear_error(&err);
    gst_object_ref_sink(chain);
    if (!soundFontBytes().isEmpty()) {
        GstElement *synth = gst_bin_get_by_name(GST_BIN(chain), "synth");
        g_object_set(synth, "soundfont", soundFontBytes().constData(), nullptr);
        gst_object_unref(synth);
    }
    if (sinkName == QLatin1String("fakesink")) {
        GstElement *sink = gst_bin_get_by_name(GST_BIN(chain), "sink");
        g_object_set(sink, "sync", TRUE, nullptr);
        gst_object_unref(sink);
    }
    if (gst_element_set_state(chain, GST_STATE_READY) == GST_STATE_CHANGE_FAILURE) {
        qCWarning(lcPlayers) << "the MIDI synthesiser could not be made ready; MIDI goes through playbin";
        gst_element_set_state(chain, GST_STATE_NULL);
        gst_object_unref(chain);
        return nullptr;
    }
    return chain;
}

void destroyChain(GstElement *chain) {
    if (!chain)
        return;
    gst_element_set_state(chain, GST_STATE_NULL);
    gst_object_unref(chain);
}

}  // namespace

void startGStreamer() {
    static std::once_flag once;
    std::call_once(once, [] {
        GError *err = nullptr;
        if (!gst_init_check(nullptr, nullptr, &err)) {
            qCWarning(lcPlayers) << "GStreamer could not start:" << (err ? err->message : "");
            g_clear_error(&err);
        }
    });
}

// What the worker thread has made for a GstPlaybin, waiting to be taken on the UI thread.
struct GstPreparation {
    std::mutex lock;
    bool abandoned = false;  // the GstPlaybin has gone; the worker keeps nothing
    GstElement *synthChain = nullptr;
};

struct GstPlaybinCallbacks {
    // fluiddec is created deep inside playbin's decoder when a MIDI file is found; it needs the
    // soundfont before it starts, and this signal comes right after the element is made (on a
    // streaming thread).
    static void onElementSetup(GstElement *playbin, GstElement *element, gpointer self);
    // Runs on whichever thread posts, before the message would be put on the bus.
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
    startGStreamer();
    m_pipeline = gst_element_factory_make("playbin", nullptr);
    if (!m_pipeline) {
        qCWarning(lcPlayers) << "GStreamer has no playbin; nothing can be played";
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
        qCWarning(lcPlayers) << "audio output" << m_sinkName << "is not available; nothing will be played";
    }

    m_bus = gst_element_get_bus(m_pipeline);
    gst_bus_set_sync_handler(m_bus, &GstPlaybinCallbacks::onSyncMessage, this, nullptr);
    return m_sink != nullptr;
}

bool GstPlaybin::sinkReady() { return ensurePipeline(); }

void GstPlaybin::prepareInBackground(bool midi) {
    if (m_synthChain || (m_preparation && (m_preparingSynth || !midi)))
        return;
    // A preparation without a synthesiser has nothing to hand over; the new one replaces it
    // (starting GStreamer again costs nothing: that happens once).
    auto preparation = std::make_shared<GstPreparation>();
    m_preparation = preparation;
    m_preparingSynth = midi;
    const QString sinkName = m_sinkName;
    QThreadPool::globalInstance()->start([preparation, midi, sinkName] {
        QElapsedTimer t;
        t.start();
        startGStreamer();
        warmUpPlugins();
        GstElement *chain = midi ? makeSynthChain(sinkName) : nullptr;
        bool keep = false;
        {
            std::lock_guard lock(preparation->lock);
            if (!preparation->abandoned) {
                preparation->synthChain = chain;
                keep = true;
            }
        }
        if (!keep)
            destroyChain(chain);
        qCDebug(lcPlayers) << "GStreamer prepared in" << t.elapsed() << "ms";
    });
}

// Takes what the worker has made, if it is done; never waits for it.
void GstPlaybin::adoptPrepared() {
    if (m_synthChain || !m_preparation)
        return;
    {
        std::unique_lock lock(m_preparation->lock, std::try_to_lock);
        if (!lock.owns_lock() || !m_preparation->synthChain)
            return;
        m_synthChain = std::exchange(m_preparation->synthChain, nullptr);
    }
    m_synthSource = gst_bin_get_by_name(GST_BIN(m_synthChain), "source");
    if (m_sinkName == QLatin1String("fakesink")) {
        GstElement *sink = gst_bin_get_by_name(GST_BIN(m_synthChain), "sink");
        g_signal_connect(sink, "handoff", G_CALLBACK(&GstPlaybinCallbacks::onHandoff), this);
        gst_object_unref(sink);
    }
    m_synthBus = gst_element_get_bus(m_synthChain);
    gst_bus_set_sync_handler(m_synthBus, &GstPlaybinCallbacks::onSyncMessage, this, nullptr);
    // What the chain said while it was being made waits on its bus, and is old news.
    gst_bus_set_flushing(m_synthBus, TRUE);
    gst_bus_set_flushing(m_synthBus, FALSE);
}

void GstPlaybin::retireSynthChain() {
    if (m_current == m_synthChain)
        m_current = nullptr;
    gst_bus_set_sync_handler(m_synthBus, nullptr, nullptr, nullptr);
    gst_object_unref(std::exchange(m_synthBus, nullptr));
    gst_object_unref(std::exchange(m_synthSource, nullptr));
    // Freeing a synthesiser takes fluidsynth about 100 ms.
    QThreadPool::globalInstance()->start([chain = std::exchange(m_synthChain, nullptr)] { destroyChain(chain); });
    m_preparation.reset();
    prepareInBackground(true);
}

bool GstPlaybin::midiSynthReady() {
    adoptPrepared();
    return m_synthChain != nullptr;
}

GstPlaybin::~GstPlaybin() {
    if (m_preparation) {
        GstElement *unclaimed = nullptr;
        {
            std::lock_guard lock(m_preparation->lock);
            m_preparation->abandoned = true;
            unclaimed = std::exchange(m_preparation->synthChain, nullptr);
        }
        destroyChain(unclaimed);
    }
    if (m_synthChain) {
        gst_element_set_state(m_synthChain, GST_STATE_NULL);
        gst_bus_set_sync_handler(m_synthBus, nullptr, nullptr, nullptr);
        gst_object_unref(m_synthBus);
        gst_object_unref(m_synthSource);
        gst_object_unref(m_synthChain);
    }
    if (m_pipeline) {
        // Going to NULL joins every streaming thread, so once it returns nothing posts to the
        // bus any more and the sync handler can go without a race against this object's end.
        gst_element_set_state(m_pipeline, GST_STATE_NULL);
        gst_bus_set_sync_handler(m_bus, nullptr, nullptr, nullptr);
        gst_object_unref(m_bus);
        gst_object_unref(m_pipeline);
    }
    if (m_sink)
        gst_object_unref(m_sink);
    for (GstElement *e : m_synths)
        gst_object_unref(e);
    flushBus();
}

// The message is taken here rather than left on the bus for drainBus() to pop: GStreamer calls
// this before it puts the message on the bus, and a drainBus() running in between would find
// nothing and leave the message waiting for the next one, for ever when it is a play's last
// (its end, or the error of a file that fails).
GstBusSyncReply GstPlaybinCallbacks::onSyncMessage(GstBus *bus, GstMessage *msg, gpointer self) {
    auto *p = static_cast<GstPlaybin *>(self);
    {
        std::lock_guard lock(p->m_postedLock);
        p->m_posted.push_back({GST_BUS(gst_object_ref(bus)), gst_message_ref(msg)});
    }
    // After the message is in: a drainBus() that cleared the flag before this either reads the
    // message or leaves it to the call queued here.
    if (!p->m_drainQueued.exchange(true))
        QMetaObject::invokeMethod(p, "drainBus", Qt::QueuedConnection);
    return GST_BUS_DROP;
}

void GstPlaybinCallbacks::onHandoff(GstElement *sink, GstBuffer *, GstPad *, gpointer self) {
    auto *p = static_cast<GstPlaybin *>(self);
    std::function<void()> fn;
    {
        std::lock_guard lock(p->m_observerLock);
        fn = std::move(p->m_firstBufferObserver);
        p->m_firstBufferObserver = nullptr;
        g_object_set(sink, "signal-handoffs", FALSE, nullptr);
    }
    if (fn)
        fn();
}

void GstPlaybin::armFirstBufferObserver(std::function<void()> fn) {
    if (!ensurePipeline())
        return;
    adoptPrepared();
    std::lock_guard lock(m_observerLock);
    m_firstBufferObserver = std::move(fn);
    g_object_set(m_sink, "signal-handoffs", TRUE, nullptr);
    if (m_synthChain) {
        GstElement *sink = gst_bin_get_by_name(GST_BIN(m_synthChain), "sink");
        g_object_set(sink, "signal-handoffs", TRUE, nullptr);
        gst_object_unref(sink);
    }
}

void GstPlaybin::drainBus() {
    // Cleared before the queue is read, so a message posted from now on is read below or
    // queues another call.
    m_drainQueued = false;
    QPointer<GstPlaybin> alive(this);
    while (alive) {
        PostedMessage posted;
        {
            std::lock_guard lock(m_postedLock);
            if (m_posted.empty())
                return;
            posted = m_posted.front();
            m_posted.pop_front();
        }
        // Only the pipeline holding the file has news; what the other says is left over, and
        // a retired synthesiser chain's bus is neither of ours.
        GstElement *owner = posted.bus == m_bus ? m_pipeline : posted.bus == m_synthBus ? m_synthChain : nullptr;
        if (owner && owner == m_current)
            handle(posted.message);  // may emit, and a receiver may rewind, unload or even delete us
        posted.release();
    }
}

void GstPlaybin::PostedMessage::release() const {
    gst_message_unref(message);
    gst_object_unref(bus);
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
        qCWarning(lcPlayers) << "cannot play" << m_path << ":" << text;
        m_failed = true;
        m_failure = text;
        m_playing = false;
        // Stop the streaming threads now; later errors of the same failure are dropped.
        setState(GST_STATE_READY);
        flushBus();
        releaseRetiredSynths();
        // The synthesiser chain is not trusted again (its output may have gone with a restarted
        // sound server): a fresh one is made in the background, and MIDI goes through playbin
        // until it is ready.
        if (m_current && m_current == m_synthChain)
            retireSynthChain();
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
        if (GST_MESSAGE_SRC(msg) != GST_OBJECT(m_current))
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
    if (m_current)
        gst_element_set_state(m_current, static_cast<GstState>(state));
}

void GstPlaybin::flushBus() {
    // Messages still queued belong to what was just stopped (an end of stream that raced a
    // stop, say) and must not be taken for news about what comes next.
    std::deque<PostedMessage> stale;
    {
        std::lock_guard lock(m_postedLock);
        stale.swap(m_posted);
    }
    for (const PostedMessage &posted : stale)
        posted.release();
}

bool GstPlaybin::load(const QString &path) {
    unload();
    if (!ensurePipeline()) {
        m_failure = QStringLiteral("no audio output (%1)").arg(m_sinkName);
        return false;
    }
    if (path.isEmpty()) {
        m_failure = QStringLiteral("no file named");
        return false;
    }
    // Only a regular file goes to the pipeline: its source would wait for ever on a pipe.
    QFile probe;
    regularfile::Fault fault;
    if (const Result opened = regularfile::open(path, &probe, &fault); !opened) {
        m_failure = fault == regularfile::Fault::Missing ? QStringLiteral("no such file") : opened.reason();
        return false;
    }
    const bool midi = isMidiFile(probe);
    probe.close();
    m_path = path;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    adoptPrepared();
    if (midi && m_synthChain) {
        g_object_set(m_synthSource, "location", QFile::encodeName(absolute).constData(), nullptr);
        m_current = m_synthChain;
    } else {
        const QByteArray uri = QUrl::fromLocalFile(absolute).toEncoded();
        g_object_set(m_pipeline, "uri", uri.constData(), nullptr);
        m_current = m_pipeline;
    }
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
    // The synthesiser chain only goes back to READY, keeping its soundfont for the next file.
    setState(m_current == m_synthChain ? GST_STATE_READY : GST_STATE_NULL);
    m_current = nullptr;
    flushBus();
    releaseRetiredSynths();
    m_loaded = false;
    m_failed = false;
    m_playing = false;
    m_path.clear();
    m_failure.clear();
}

std::optional<qint64> GstPlaybin::durationMs() const {
    gint64 d = 0;
    if (!m_loaded || !m_current || !gst_element_query_duration(m_current, GST_FORMAT_TIME, &d) || d <= 0)
        return std::nullopt;
    return d / GST_MSECOND;
}
