// The lock file, opening and closing the lock, the guarded buttons and the idle time.
#include "lock/settingslock.h"

#include "core/recordfile.h"
#include "core/regularfile.h"
#include "lock/logging.h"
#include "lock/passwordhash.h"
#include "lock/passwordprompt.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <future>

namespace {

// Runs f on a thread of its own while this one goes on serving its timers, so that a bell due
// while a password is checked is not held up. The operator's input waits meanwhile.
template <typename F>
auto besideTheBells(F f) -> decltype(f()) {
    auto result = std::async(std::launch::async, std::move(f));
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (result.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
            loop.quit();
    });
    poll.start(5);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return result.get();
}

}  // namespace

SettingsLock::SettingsLock(Clock &clock, Dialogs &dialogs, const QString &appDir, QObject *parent)
    : QObject(parent), m_dialogs(dialogs), m_path(appDir + QLatin1String(FileName)),
      m_idle(new Timer(clock, QStringLiteral("LockTimer"), IdleMilliseconds, false, this)) {
    connect(m_idle, &Timer::timeout, this, [this] {
        lock();
        emit lockedByIdle();
    });
}

SettingsLock::State SettingsLock::read() {
    m_stored.clear();
    m_fault.clear();
    QFile file;
    regularfile::Fault fault;
    if (const Result opened = regularfile::open(m_path, &file, &fault); !opened) {
        if (fault == regularfile::Fault::Missing)
            return State::None;
        m_fault = opened.reason();
    } else {
        m_stored = passwordhash::fromFileBytes(regularfile::readStart(file, passwordhash::MaxFileBytes));
        if (m_stored.isEmpty())
            m_fault = QStringLiteral("内容不是本程序保存的密码");
    }
    if (!m_fault.isEmpty()) {
        qCWarning(lcLock) << m_path << "cannot serve as the lock:" << m_fault;
        m_stored.clear();
        return State::Damaged;
    }
    return State::Set;
}

bool SettingsLock::unlock(QWidget *parent) {
    switch (read()) {
    case State::None: return true;
    case State::Damaged: showDamaged(parent); return false;
    case State::Set: break;
    }
    if (m_open) {
        open();  // a fresh idle time
        return true;
    }
    PasswordPrompt prompt(parent);
    if (prompt.exec() != QDialog::Accepted)
        return false;
    if (!matches(prompt.passwordText->text())) {
        m_dialogs.message(parent, QStringLiteral("密码不对。"), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        return false;
    }
    open();
    return true;
}

void SettingsLock::showDamaged(QWidget *parent) {
    m_dialogs.message(parent,
                      QStringLiteral("密码文件无法使用（%1），设置保持锁定：\n%2\n"
                                     "请由这台电脑的管理员删除这个文件，再重新设置密码。")
                          .arg(m_fault, QDir::toNativeSeparators(m_path)),
                      Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}

void SettingsLock::open() {
    if (!m_open)
        qApp->installEventFilter(this);
    m_open = true;
    m_idle->setEnabled(false);
    m_idle->setEnabled(true);
}

void SettingsLock::lock() {
    if (m_open)
        qApp->removeEventFilter(this);
    m_open = false;
    m_idle->setEnabled(false);
}

void SettingsLock::guard(QAbstractButton *button) {
    m_guarded.insert(button);
    connect(button, &QObject::destroyed, this, [this, button] { m_guarded.remove(button); });
    button->installEventFilter(this);
}

bool SettingsLock::matches(const QString &password) {
    const QByteArray stored = m_stored;
    return besideTheBells([stored, password] { return passwordhash::matches(stored, password); });
}

Result SettingsLock::setPassword(const QString &password) {
    const QByteArray stored = besideTheBells([password] { return passwordhash::make(password); });
    if (stored.isEmpty())
        return Result::failure(QStringLiteral("无法生成密码的散列"));
    if (Result written = replaceFile(m_path, stored + '\n'); !written)
        return written;
    m_stored = stored;
    open();  // who set it knows it
    return Result::success();
}

Result SettingsLock::removePassword() {
    QFile file(m_path);
    if (file.exists() && !file.remove())
        return Result::failure(file.errorString());
    lock();
    return Result::success();
}

bool SettingsLock::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (m_open && (type == QEvent::KeyPress || type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
                   type == QEvent::Wheel)) {
        m_idle->setEnabled(false);  // someone is there: a fresh idle time
        m_idle->setEnabled(true);
    }
    // Only a press can be a click; a button being destroyed still gets events once it is no
    // longer a button, so it is asked what it is rather than taken for one.
    if ((type != QEvent::MouseButtonPress && type != QEvent::KeyPress) || !m_guarded.contains(watched))
        return false;
    auto *button = qobject_cast<QAbstractButton *>(watched);
    if (!button)
        return false;
    bool click = false;
    if (type == QEvent::MouseButtonPress)
        click = static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
    else if (type == QEvent::KeyPress)
        click =
            QList<int>{Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}.contains(static_cast<QKeyEvent *>(event)->key());
    if (!click || !button->isEnabled() || m_open || read() == State::None)
        return false;
    // The press is kept from the button; once the password is given the click follows, after
    // the prompt has gone.
    if (unlock(button->window()))
        QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
    return true;
}
