// SettingsLock: the optional password over what changes the broadcast, open for a while once given.
#pragma once
#include "core/clock.h"
#include "core/result.h"
#include "ui/dialogs.h"

#include <QAbstractButton>
#include <QObject>
#include <QSet>

// Off until someone sets a password. Once it is given the lock stays open until lock() (the
// panels closed) or until nobody has touched mouse or keyboard for IdleMilliseconds. What
// plays is never guarded: only the buttons handed to guard() ask.
class SettingsLock : public QObject {
    Q_OBJECT
public:
    static constexpr const char *FileName = "Password.cfg";
    static constexpr int IdleMilliseconds = 5 * 60 * 1000;
    // The longest password kept; a longer one is cut by the prompt's box.
    static constexpr int MaxPasswordLength = 64;

    enum class State { None, Set, Damaged };

    SettingsLock(Clock &clock, Dialogs &dialogs, const QString &appDir, QObject *parent = nullptr);

    QString path() const { return m_path; }
    // Reads the file again, so that a password removed by hand or a damaged file counts at once.
    State read();
    QString fault() const { return m_fault; }  // why the file counts as damaged

    // True when what changes the broadcast may be used now. A set password is asked for over
    // parent unless the lock is open; a damaged file says so and stays locked.
    bool unlock(QWidget *parent);
    bool isOpen() const { return m_open; }
    void lock();
    // A click on the button, by mouse or keyboard, first asks unlock(); refused, it does nothing.
    void guard(QAbstractButton *button);

    // Checked and made away from the bells' thread: each takes a good part of a second.
    bool matches(const QString &password);
    Result setPassword(const QString &password);
    Result removePassword();
    // The message that says the file is damaged and how the folder's owner removes it.
    void showDamaged(QWidget *parent);

signals:
    void lockedByIdle();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void open();

    Dialogs &m_dialogs;
    QString m_path;
    QString m_fault;
    QByteArray m_stored;
    bool m_open = false;
    Timer *m_idle;  // LockTimer: the idle time after which the lock closes again
    QSet<QObject *> m_guarded;
};
