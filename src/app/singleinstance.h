// SingleInstance: one running program per folder; a second start brings the first to the front.
#pragma once
#include <QObject>
#include <QString>

class QLocalServer;

// Two programs over the same settings would ring every bell twice and fight over the volume.
// The first start holds an exclusive lock on a file in AppDir; the operating system releases
// it with the process, so a program that crashed never blocks the next start. A second start
// finds the lock taken, asks the running program to show its window, and ends.
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
    bool askRunningToShow(int timeoutMs = 2000) const;

    QString lockPath() const { return m_lockPath; }

signals:
    void showRequested();

private:
    QString m_lockPath;
    QString m_serverName;
    int m_fd = -1;
    QLocalServer *m_server = nullptr;
};
