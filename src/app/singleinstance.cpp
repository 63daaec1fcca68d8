// The lock file and the local socket through which a second start reaches the first.
#include "app/singleinstance.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
Q_LOGGING_CATEGORY(lcInstance, "tollmere.instance", QtCriticalMsg)
const QByteArray ShowRequest = "show\n";
}  // namespace

SingleInstance::SingleInstance(const QString &appDir, QObject *parent)
    : QObject(parent), m_lockPath(appDir + QStringLiteral("tollmere.lock")) {
    // One name per folder, short enough for a socket path.
    const QByteArray hash = QCryptographicHash::hash(appDir.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    m_serverName = QStringLiteral("tollmere-") + QString::fromLatin1(hash);
}

SingleInstance::~SingleInstance() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool SingleInstance::acquire() {
    m_fd = ::open(QFile::encodeName(m_lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0) {
        qCWarning(lcInstance) << "cannot make the lock file" << m_lockPath << "- running without it";
        return true;
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    m_server = new QLocalServer(this);
    QLocalServer::removeServer(m_serverName);  // a socket a crashed program left behind
    if (!m_server->listen(m_serverName)) {
        qCWarning(lcInstance) << "a later start cannot reach this one:" << m_server->errorString();
        return true;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains(ShowRequest))
                    emit showRequested();
            });
        }
    });
    return true;
}

bool SingleInstance::askRunningToShow(int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(ShowRequest);
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return sent;
}
