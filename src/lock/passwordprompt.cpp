// The password prompt's controls.
#include "lock/passwordprompt.h"

#include "lock/settingslock.h"
#include "ui/named.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

PasswordPrompt::PasswordPrompt(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PasswordPrompt"));
    setWindowTitle(QStringLiteral("输入密码"));
    setModal(true);
    passwordText = named(new QLineEdit(this), "passwordText");
    passwordText->setEchoMode(QLineEdit::Password);
    passwordText->setMaxLength(SettingsLock::MaxPasswordLength);
    passwordText->setMinimumWidth(passwordText->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);
    okButton = named(new QPushButton(QStringLiteral("确　定"), this), "okButton");
    cancelButton = named(new QPushButton(QStringLiteral("取　消"), this), "cancelButton");
    okButton->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto *column = new QVBoxLayout(this);
    column->addWidget(new QLabel(QStringLiteral("设置已加锁，请输入密码："), this));
    column->addWidget(passwordText);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}
