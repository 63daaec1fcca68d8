// The lock file and the local socket through which a second start reaches the first.
#include "app/singleinstance.h"

#include "core/asrunlog.h"
#include "core/regularfile.h"
#include "ui/dialogs.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QThread>

#include <algorithm>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
Q_LOGGING_CATEGORY(lcInstance, "tollmere.instance", QtCriticalMsg)
const QByteArray ShowRequest = "show\n";
const QByteArray Shown = "shown\n";  // the answer: a program that hangs gives none
// A command is a line; one longer than this is no command of ours.
constexpr qint64 MaxCommandBytes = 1 << 20;

// A file that only we can open: nobody else can hold its lock.
bool ownedAlone(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0 &&
           st.st_nlink == 1;
}

// The path still names the file the descriptor has open: another start has not replaced it.
bool stillAt(int fd, const QByteArray &path) {
    struct stat locked {};
    struct stat named {};
    return ::fstat(fd, &locked) == 0 && ::lstat(path.constData(), &named) == 0 && locked.st_dev == named.st_dev &&
           locked.st_ino == named.st_ino;
}

// A fresh empty file of ours alone (mkstemp makes it 0600) put in the place of path.
bool replaceLockFile(const QByteArray &path) {
    QByteArray temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    if (::rename(temp.constData(), path.constData()) == 0)
        return true;
    ::unlink(temp.constData());
    return false;
}

// A local socket connects or takes a few bytes at once; an expired deadline still allows that.
int atLeast100(const QDeadlineTimer &deadline) { return int(std::max<qint64>(deadline.remainingTime(), 100)); }

// Sends a line and waits for the line that answers it: empty when none came in time. A program
// that has hung takes the line into the socket but never answers.
QByteArray exchange(QLocalSocket &socket, const QByteArray &line, const QDeadlineTimer &deadline) {
    socket.write(line);
    socket.waitForBytesWritten(atLeast100(deadline));
    while (!socket.canReadLine() && socket.waitForReadyRead(atLeast100(deadline))) {
    }
    return socket.canReadLine() ? socket.readLine() : QByteArray();
}

bool peerIsUs(qintptr socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socket), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}
}  // namespace

SingleInstance::SingleInstance(const QString &appDir, QObject *parent)
    : QObject(parent), m_appDir(appDir), m_lockPath(appDir + QStringLiteral("tollmere.lock")) {}

SingleInstance::~SingleInstance() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool SingleInstance::acquire() {
    const QByteArray path = QFile::encodeName(m_lockPath);
    // Two starts at once may each replace the file; the one whose lock is not on the file the
    // path names in the end tries again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 || !ownedAlone(fd)) {
            if (fd >= 0)
                ::close(fd);
            if (!replaceLockFile(path)) {
                qCWarning(lcInstance) << "cannot make the lock file" << m_lockPath << "- running without it";
                return true;
            }
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return false;
        }
        if (!stillAt(fd, path)) {
            ::close(fd);
            continue;
        }
        m_fd = fd;
        listen();
        return true;
    }
    qCWarning(lcInstance) << "the lock file" << m_lockPath << "keeps being replaced - running without it";
    return true;
}

void SingleInstance::listen() {
    m_server = new QLocalServer(this);
    // In the abstract namespace: nothing is left behind in a folder, and nothing there to take.
    m_server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    const QString name =
        QStringLiteral("tollmere-%1").arg(QRandomGenerator::system()->generate64(), 16, 16, QChar(u'0'));
    const QByteArray line = name.toUtf8() + '\n';
    if (!m_server->listen(name)) {
        qCWarning(lcInstance) << "a later start cannot reach this one:" << m_server->errorString();
        return;
    }
    if (::ftruncate(m_fd, 0) != 0 || ::pwrite(m_fd, line.constData(), size_t(line.size()), 0) != line.size())
        qCWarning(lcInstance) << "a later start cannot reach this one: the lock file cannot be written";
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (!peerIsUs(socket->socketDescriptor())) {
                socket->abort();
                continue;
            }
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
        }
    });
}

void SingleInstance::answer(QLocalSocket *socket) {
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine();
        if (line == ShowRequest) {
            emit showRequested();
            socket->write(Shown);
            continue;
        }
        const QJsonObject command = QJsonDocument::fromJson(line).object();
        QJsonObject reply{{"ok", false}, {"message", QStringLiteral("无法理解的命令")}};
        if (!command.isEmpty() && m_handler)
            reply = m_handler(command);
        socket->write(QJsonDocument(reply).toJson(QJsonDocument::Compact) + '\n');
    }
    if (socket->bytesAvailable() > MaxCommandBytes)
        socket->abort();
}

bool SingleInstance::reach(QLocalSocket &socket, const QDeadlineTimer &deadline) const {
    // Read each time: the running program writes the name just after it takes the lock.
    // Only a regular file: a pipe in its place would hold this start in read() for ever.
    QFile file;
    const QByteArray line = regularfile::open(m_lockPath, &file) ? file.read(64) : QByteArray();
    if (!line.endsWith('\n'))
        return false;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(QString::fromUtf8(line.chopped(1)));
    return socket.waitForConnected(atLeast100(deadline)) && peerIsUs(socket.socketDescriptor());
}

bool SingleInstance::askRunningToShow(int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        QLocalSocket socket;
        if (reach(socket, deadline))
            return exchange(socket, ShowRequest, deadline) == Shown;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
}

std::optional<QJsonObject> SingleInstance::sendCommand(const QJsonObject &command, int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    if (!reach(socket, deadline))
        return std::nullopt;
    const QByteArray line = QJsonDocument(command).toJson(QJsonDocument::Compact) + '\n';
    return QJsonDocument::fromJson(exchange(socket, line, deadline)).object();
}

int SingleInstance::handOverToRunning(Dialogs &dialogs, AsRunLog &log, int timeoutMs) const {
    if (askRunningToShow(timeoutMs))
        return 0;
    qCWarning(lcInstance) << "a program holds" << m_lockPath << "but does not answer - not starting";
    log.record(QStringLiteral("instance"),
               QStringLiteral("再次启动未成功：已有程序在运行，但没有应答 %1").arg(m_appDir));
    dialogs.message(nullptr,
                    QStringLiteral("本文件夹中的广播程序已在运行，但没有应答，无法显示它的窗口：\n%1\n\n"
                                   "请在任务栏中找到它；如果它已无响应，请结束它后再启动。")
                        .arg(m_appDir),
                    Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    return 1;
}
