// PasswordDialog "设置密码": sets, changes and removes the settings password.
#pragma once
#include "lock/settingslock.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    PasswordDialog(SettingsLock &lock, Dialogs &dialogs, QWidget *parent = nullptr);

    // Reads the lock file again and shows the dialog empty.
    void openDialog();
    // Each says what went wrong in a message and returns false; done, the dialog closes.
    bool savePassword();
    bool removePassword();

    QLabel *stateLabel;         // whether a password is set
    QLineEdit *currentText;     // "原密码", while one is set
    QLineEdit *newText;         // "新密码"
    QLineEdit *againText;       // "再输一次"
    QPushButton *saveButton;    // "保　存"
    QPushButton *removeButton;  // "清除密码", while one is set
    QPushButton *closeButton;   // "关　闭", also Esc

private:
    bool currentGiven();
    void say(const QString &text, Dialogs::Icon icon = Dialogs::Icon::Exclamation);

    SettingsLock &m_lock;
    Dialogs &m_dialogs;
    QLabel *m_currentLabel;
};
