// SingleInstance: one running program per folder; a second start brings the first to the front.
#pragma once
#include <QJsonObject>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class AsRunLog;
class Dialogs;
class QDeadlineTimer;
class QLocalServer;
class QLocalSocket;

// Two programs over the same settings would ring every bell twice and fight over the volume.
// The first start holds an exclusive lock on a file in AppDir; the operating system releases
// it with the process, so a program that crashed never blocks the next start. A second start
// finds the lock taken, asks the running program to show its window, and ends.
//
// Whoever can open the lock file can hold its lock and so keep the program from starting: the
// file is ours alone (0600), and one that is not (an earlier version's 0644, another user's, a
// link) is replaced by a fresh one before locking, so that its holder holds nothing. The
// running program listens on a local socket whose name, random, stands in the lock file: no
// other user can read it to take the name first, and each side checks that the other runs as
// the same user.
//
// The same socket carries commands from elsewhere (tollmere --play, --stop, --status): a JSON
// object a line, answered by one.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString &appDir, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only program running over appDir (also when the lock file cannot
    // be made at all: an unusable folder must not stop the bells). From then on requests of
    // later starts arrive as showRequested().
    bool acquire();
    // A later start: asks the running program to show its window. False when it did not answer.
    // The running program answers from its event loop: one still starting up (a double click
    // that started it twice) answers only once its window is up, hence the generous time.
    bool askRunningToShow(int timeoutMs = 10000) const;
    // A later start: asks the running program to show its window; when it does not answer,
    // says so in a message box and the as-run log rather than ending without a word. The exit
    // code of this start: 0 when the running program was shown.
    int handOverToRunning(Dialogs &dialogs, AsRunLog &log, int timeoutMs = 10000) const;

    // The running program: answers each command with what the handler returns.
    using CommandHandler = std::function<QJsonObject(const QJsonObject &command)>;
    void setCommandHandler(CommandHandler handler) { m_handler = std::move(handler); }
    // A command from elsewhere: sends it to the program running over appDir, waiting for it
    // at once rather than for one still starting. Nothing when no program runs there; an empty
    // object when it did not answer in time.
    std::optional<QJsonObject> sendCommand(const QJsonObject &command, int timeoutMs = 10000) const;

    QString lockPath() const { return m_lockPath; }

signals:
    void showRequested();

private:
    void listen();
    void answer(QLocalSocket *socket);
    // Connects socket to the running program's; false when none listens.
    bool reach(QLocalSocket &socket, const QDeadlineTimer &deadline) const;

    QString m_appDir;
    QString m_lockPath;
    int m_fd = -1;
    QLocalServer *m_server = nullptr;
    CommandHandler m_handler;
};
