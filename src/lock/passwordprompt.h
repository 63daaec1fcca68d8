// PasswordPrompt "输入密码": asks for the settings password before what changes the broadcast.
#pragma once
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

class PasswordPrompt : public QDialog {
    Q_OBJECT
public:
    explicit PasswordPrompt(QWidget *parent = nullptr);

    QLineEdit *passwordText;
    QPushButton *okButton;      // "确　定", also Enter
    QPushButton *cancelButton;  // "取　消", also Esc
};
