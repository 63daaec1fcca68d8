// Form1's start-up and exit.
#include "ui/form1.h"

Form1::Form1(Services &services, QWidget *parent) : QWidget(parent), m_services(services) {
    setObjectName(QStringLiteral("Form1"));
    Command1 = new QPushButton(QStringLiteral("退出"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
}

Form1::~Form1() = default;

void Form1::Command1_Click() {
    m_services.mci->setCommand(QStringLiteral("Close"));
    m_services.quit();
}
