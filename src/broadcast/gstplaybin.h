// GstPlaybin: one GStreamer playbin sounding through a named audio sink, its bus read on the UI thread.
#pragma once
#include <QObject>
#include <QString>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;
struct GstPlaybinCallbacks;
struct GstPreparation;

// Starts GStreamer (reading or, the first time, building its plugin registry) once for the
// whole program; safe from any thread, and later calls wait for the first to finish.
void startGStreamer();

// The pipeline lives in GStreamer's own threads. Its messages are never handled there: a sync
// handler takes each one off the bus into a queue of this object's own and queues a call to
// drainBus() on the thread that owns this object (the UI thread), so every signal below is
// emitted on the UI thread, one handler at a time like any timer tick.
// No call here waits for a state change to complete: they return after GStreamer has accepted
// the request (the few milliseconds that stopping the streaming threads takes at most).
class GstPlaybin : public QObject {
    Q_OBJECT
public:
    // audioSink is a GStreamer element factory name ("autoaudiosink", "pulsesink", "fakesink").
    // A fakesink is made to hold each buffer until its time, like a sound card, so playback
    // in tests takes real time.
    explicit GstPlaybin(const QString &audioSink, QObject *parent = nullptr);
    ~GstPlaybin() override;

    // GStreamer is started and the pipeline made at the first load() (or the first call of
    // the two below), not here: a program that has not played anything yet has not paid
    // for it.
    bool isBuilt() const { return m_built; }

    // Starts GStreamer and loads the plugins that playback needs on a worker thread, and with
    // midi also makes a MIDI synthesiser with its soundfont loaded, so that the first file of
    // a run starts as promptly as the ones after it and a MIDI file's sound follows its play
    // at once. Returns at once; once is enough, and a later call with midi adds the
    // synthesiser to an earlier one without. A load() before the work is done makes what it
    // needs itself, as without it, and a MIDI file then goes through playbin.
    void prepareInBackground(bool midi);
    // The prepared synthesiser is ready: MIDI files are loaded into it from now on.
    bool midiSynthReady();
    // The loaded file is in the prepared synthesiser (not in playbin).
    bool loadedInSynth() const { return m_loaded && m_current && m_current == m_synthChain; }

    // False when the named sink could not be made: nothing can then be played, and no other
    // output is ever chosen in its place (a silent fake sink would hide a broken setup).
    // Makes the pipeline if that has not happened yet.
    bool sinkReady();

    // Forgets any file, takes path and starts loading it in the background (to PAUSED).
    // False, with nothing loaded, when the file cannot be read or there is no sink.
    bool load(const QString &path);
    bool isLoaded() const { return m_loaded; }
    // An error has been reported since the last load(); the file will not play.
    bool hasFailed() const { return m_failed; }
    // Why the last load() returned false, or the error reported since; empty otherwise.
    QString failure() const { return m_failure; }
    void play();
    void pause();
    // Stops and goes back to the start; the file stays loaded.
    void rewind();
    // Stops and forgets the file.
    void unload();
    // The pipeline has reached PLAYING since the last play() (cleared by pause, rewind, unload).
    bool isPlaying() const { return m_playing; }
    std::optional<qint64> durationMs() const;

    // The General MIDI soundfont that MIDI files are synthesised with; empty when none is
    // installed (fluidsynth then tries its own default).
    static QString soundFontPath();

    // Test hook: fn runs once, on a streaming thread, when the sink next renders a buffer
    // (the preroll buffer does not count, so after play() this is the first sound played).
    // Only with a "fakesink"; arm it again for each measurement. Makes the pipeline.
    void armFirstBufferObserver(std::function<void()> fn);

signals:
    void reachedPlaying();
    void durationKnown();
    void endOfStream();
    void failed(const QString &message);

private:
    bool ensurePipeline();
    void adoptPrepared();
    void retireSynthChain();
    Q_INVOKABLE void drainBus();
    void handle(GstMessage *msg);
    void setState(int state);
    void flushBus();
    void releaseRetiredSynths();
    friend struct GstPlaybinCallbacks;  // GStreamer's callbacks, with its exact signatures

    QString m_sinkName;
    bool m_built = false;  // ensurePipeline() has run, whatever it managed to make
    GstElement *m_pipeline = nullptr;
    GstElement *m_sink = nullptr;  // owned by m_pipeline once set as its audio sink
    GstBus *m_bus = nullptr;
    // The MIDI chain made in the background: file, parser, synthesiser, output. Between files
    // it waits in READY, where the synthesiser keeps its soundfont.
    GstElement *m_synthChain = nullptr;
    GstElement *m_synthSource = nullptr;
    GstBus *m_synthBus = nullptr;
    GstElement *m_current = nullptr;  // the pipeline holding the loaded file, or null
    std::shared_ptr<GstPreparation> m_preparation;
    bool m_preparingSynth = false;  // m_preparation makes a synthesiser
    // The messages the sync handler has taken, oldest first, each with a reference to the bus
    // it came from, waiting for drainBus(); m_drainQueued says a call to it is on its way.
    struct PostedMessage {
        GstBus *bus = nullptr;
        GstMessage *message = nullptr;
        void release() const;  // lets go of both
    };
    std::mutex m_postedLock;
    std::deque<PostedMessage> m_posted;
    std::atomic<bool> m_drainQueued{false};
    bool m_loaded = false;
    bool m_failed = false;
    bool m_playing = false;
    QString m_path;
    QString m_failure;

    // The MIDI synthesisers playbin has made. Freeing one takes fluidsynth about 100 ms, and
    // playbin frees them on stop in the calling thread, so we hold a reference and let the
    // last one go on a worker thread instead.
    std::mutex m_synthLock;
    std::vector<GstElement *> m_synths;

    std::mutex m_observerLock;
    std::function<void()> m_firstBufferObserver;
};
