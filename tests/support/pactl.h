// Asking the test PulseAudio server about its sinks.
#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>

// pactl's output, or an empty text when it failed.
inline QString pactl(const QStringList &args) {
    QProcess p;
    p.start(QStringLiteral("pactl"), args);
    if (!p.waitForFinished(10000) || p.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}
