// The clock watch's look every few seconds, and the moment the clock went unkept, kept across starts.
#include "housekeeping/clockwatch.h"

#include "core/asrunlog.h"
#include "core/clock.h"
#include "core/logging.h"
#include "core/recordfile.h"
#include "housekeeping/housekeepingrules.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

ClockWatch::ClockWatch(Clock &clock, const ClockStatus &status, AsRunLog &log, const QString &sinceFile,
                       QObject *parent)
    : QObject(parent), m_status(status), m_log(log), m_sinceFile(sinceFile),
      m_timer(new Timer(clock, QStringLiteral("clockCheck"), CheckMs, false, this)) {
    connect(m_timer, &Timer::timeout, this, &ClockWatch::check);
}

void ClockWatch::start() {
    QFile file(m_sinceFile);
    if (file.open(QIODevice::ReadOnly)) {
        const QDateTime since = QDateTime::fromString(QString::fromUtf8(file.read(64)).trimmed(), Qt::ISODate);
        if (since.isValid())
            m_unsyncedSince = since.toMSecsSinceEpoch();
    }
    check();
    m_timer->setEnabled(true);
}

std::optional<bool> ClockWatch::synchronised() const {
    return m_last ? std::optional<bool>(m_last->synchronised) : std::nullopt;
}

void ClockWatch::check() {
    const ClockReading now = m_status.read();
    if (m_last) {
        const qint64 step = (now.wallMs - m_last->wallMs) - (now.steadyMs - m_last->steadyMs);
        if (const std::optional<QString> text = housekeepingrules::clockStepText(step)) {
            m_log.record(QStringLiteral("clock"), *text);
            // How long the clock has gone unkept counts on the clock that nobody sets.
            if (m_unsyncedSince)
                keepSince(*m_unsyncedSince + step);
        }
    }
    if (!m_last || now.synchronised != m_last->synchronised) {
        m_log.record(QStringLiteral("clock"), housekeepingrules::clockSyncText(now.synchronised));
        if (now.synchronised)
            keepSince(std::nullopt);
        else if (!m_unsyncedSince || *m_unsyncedSince > now.wallMs)
            keepSince(now.wallMs);
    }
    m_last = now;
    const QString warning =
        now.synchronised ? QString() : housekeepingrules::clockWarningText(now.wallMs - *m_unsyncedSince);
    if (warning != m_warning) {
        m_warning = warning;
        emit warningChanged(warning);
    }
}

void ClockWatch::keepSince(std::optional<qint64> wallMs) {
    m_unsyncedSince = wallMs;
    if (!wallMs) {
        if (QFile::exists(m_sinceFile) && !QFile::remove(m_sinceFile))
            qCWarning(lcClock) << "cannot remove" << m_sinceFile;
        return;
    }
    const QByteArray text = QDateTime::fromMSecsSinceEpoch(*wallMs).toString(Qt::ISODate).toUtf8() + '\n';
    if (const Result saved = QDir().mkpath(QFileInfo(m_sinceFile).path()) ? replaceFile(m_sinceFile, text)
                                                                          : Result::failure("cannot make the folder");
        !saved)
        qCWarning(lcClock) << "cannot keep when the clock went unsynchronised in" << m_sinceFile << saved.reason();
}
