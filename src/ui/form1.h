// Form1: the main window, composing the panels of every subsystem.
#pragma once
#include "ui/services.h"

#include <QPushButton>
#include <QWidget>

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Services &services, QWidget *parent = nullptr);
    ~Form1() override;

    QPushButton *Command1 = nullptr;  // "退出"

private:
    void Command1_Click();

    Services &m_services;
};
