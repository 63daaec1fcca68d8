// The password dialog: its controls, and setting, changing and removing the password.
#include "lock/passworddialog.h"

#include "ui/named.h"

#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

PasswordDialog::PasswordDialog(SettingsLock &lock, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_lock(lock), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("PasswordDialog"));
    setWindowTitle(QStringLiteral("设置密码"));
    setModal(true);
    stateLabel = named(new QLabel(this), "stateLabel");
    stateLabel->setWordWrap(true);
    auto field = [this](const char *name) {
        auto *text = named(new QLineEdit(this), name);
        text->setEchoMode(QLineEdit::Password);
        text->setMaxLength(SettingsLock::MaxPasswordLength);
        return text;
    };
    currentText = field("currentText");
    newText = field("newText");
    againText = field("againText");
    saveButton = named(new QPushButton(QStringLiteral("保　存"), this), "saveButton");
    removeButton = named(new QPushButton(QStringLiteral("清除密码"), this), "removeButton");
    closeButton = named(new QPushButton(QStringLiteral("关　闭"), this), "closeButton");
    saveButton->setDefault(true);

    auto *fields = new QFormLayout;
    m_currentLabel = new QLabel(QStringLiteral("原密码"), this);
    fields->addRow(m_currentLabel, currentText);
    fields->addRow(QStringLiteral("新密码"), newText);
    fields->addRow(QStringLiteral("再输一次"), againText);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(removeButton);
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    auto *column = new QVBoxLayout(this);
    column->addWidget(stateLabel);
    column->addLayout(fields);
    column->addLayout(buttons);
    stateLabel->setFixedWidth(fields->sizeHint().width() + 120);
    column->setSizeConstraint(QLayout::SetFixedSize);

    connect(saveButton, &QPushButton::clicked, this, &PasswordDialog::savePassword);
    connect(removeButton, &QPushButton::clicked, this, &PasswordDialog::removePassword);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void PasswordDialog::openDialog() {
    const SettingsLock::State state = m_lock.read();
    const bool set = state == SettingsLock::State::Set;
    stateLabel->setText(
        set ? QStringLiteral("已设置密码：退出、列表与播放设置、随机、音量、自动关机和节假日都要先输入密码。")
        : state == SettingsLock::State::None
            ? QStringLiteral("还没有设置密码：谁都可以更改设置。设置后，更改之前要先输入密码；正在播放的不受影响。")
            : QStringLiteral("密码文件无法使用（%1），设置保持锁定。").arg(m_lock.fault()));
    for (QLineEdit *text : {currentText, newText, againText})
        text->clear();
    m_currentLabel->setVisible(set);
    currentText->setVisible(set);
    removeButton->setVisible(set);
    show();
    raise();
    activateWindow();
    (set ? currentText : newText)->setFocus();
}

void PasswordDialog::say(const QString &text, Dialogs::Icon icon) {
    m_dialogs.message(this, text, Dialogs::Buttons::Ok, icon);
}

// A password set is changed or removed only by who knows it; a damaged file by nobody here.
bool PasswordDialog::currentGiven() {
    switch (m_lock.read()) {
    case SettingsLock::State::None: return true;
    case SettingsLock::State::Damaged: m_lock.showDamaged(this); return false;
    case SettingsLock::State::Set: break;
    }
    if (m_lock.matches(currentText->text()))
        return true;
    say(QStringLiteral("原密码不对。"));
    return false;
}

bool PasswordDialog::savePassword() {
    if (newText->text().isEmpty()) {
        say(QStringLiteral("请输入新密码。"));
        return false;
    }
    if (newText->text() != againText->text()) {
        say(QStringLiteral("两次输入的新密码不一样。"));
        return false;
    }
    if (!currentGiven())
        return false;
    if (const Result saved = m_lock.setPassword(newText->text()); !saved) {
        say(QStringLiteral("密码无法保存：\n%1\n（%2）").arg(QDir::toNativeSeparators(m_lock.path()), saved.reason()),
            Dialogs::Icon::Critical);
        return false;
    }
    hide();
    return true;
}

bool PasswordDialog::removePassword() {
    if (!currentGiven())
        return false;
    if (const Result removed = m_lock.removePassword(); !removed) {
        say(QStringLiteral("密码无法清除：\n%1\n（%2）").arg(QDir::toNativeSeparators(m_lock.path()), removed.reason()),
            Dialogs::Icon::Critical);
        return false;
    }
    hide();
    return true;
}
