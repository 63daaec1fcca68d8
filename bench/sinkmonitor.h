// SinkMonitor: a recording of the test PulseAudio null sink, each sample dated by the wall clock.
#pragma once
#include "support/pactl.h"

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

inline const char *NullSink = "tollmere_null";
constexpr int SinkRate = 8000;  // recording rate: 0.125 ms a sample

inline double wallMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// Whether the test server with its null sink is there; says how to start it when not.
inline bool nullSinkPresent() {
    if (pactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sinks")}).contains(NullSink))
        return true;
    std::fprintf(stderr, "no %s sink: start the test PulseAudio server with scripts/test-pulse.sh\n", NullSink);
    return false;
}

// Records a null sink's monitor (the test server's own unless named). Every read gives an upper
// bound of when its samples were rendered (they cannot arrive before); the smallest bound over
// the run is the closest, so sounds are never dated early.
class SinkMonitor {
public:
    explicit SinkMonitor(const QString &sink = QString::fromLatin1(NullSink)) : m_sink(sink) {}
    ~SinkMonitor() { stop(); }
    bool start(int latencyMs) {
        m_process.start(QStringLiteral("parec"),
                        {QStringLiteral("-d"), m_sink + QStringLiteral(".monitor"), QStringLiteral("--format=s16le"),
                         QStringLiteral("--channels=1"), QStringLiteral("--rate=%1").arg(SinkRate),
                         QStringLiteral("--latency-msec=%1").arg(latencyMs), QStringLiteral("--raw")});
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { read(); });
        if (m_process.waitForStarted(5000))
            return true;
        std::fprintf(stderr, "cannot start parec\n");
        return false;
    }
    void stop() {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
    const std::vector<qint16> &samples() const { return m_samples; }
    double sample0() const { return m_sample0; }  // wall-clock ms of the first sample

    // Wall-clock ms of the first sound at or after `from`, or a negative number.
    double soundAfter(double from) const {
        const qint64 first = std::max<qint64>(0, qint64((from - m_sample0) * SinkRate / 1000));
        for (qint64 i = first; i < qint64(m_samples.size()); ++i)
            if (std::abs(int(m_samples[size_t(i)])) > 30)  // the null sink gives exact zeros when silent
                return m_sample0 + i * 1000.0 / SinkRate;
        return -1;
    }

private:
    void read() {
        const double now = wallMs();
        m_pending += m_process.readAllStandardOutput();
        const qsizetype whole = m_pending.size() / 2 * 2;
        const auto *s = reinterpret_cast<const qint16 *>(m_pending.constData());
        m_samples.insert(m_samples.end(), s, s + whole / 2);
        m_pending.remove(0, whole);
        m_sample0 = std::min(m_sample0, now - m_samples.size() * 1000.0 / SinkRate);
    }

    QString m_sink;
    QProcess m_process;
    QByteArray m_pending;
    std::vector<qint16> m_samples;
    double m_sample0 = 1e300;
};
