// The weekday panel's controls, mode and start-up filling.
#include "editor/weekdaypanel.h"

#include "core/recordfile.h"
#include "core/storablepath.h"
#include "editor/logging.h"
#include "ui/named.h"
#include "ui/windowheight.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

WeekdayPanel::WeekdayPanel(Dialogs &dialogs, CommonDialog &commonDialog, const QString &appDir, QWidget *parent)
    : QGroupBox(QStringLiteral("列表文件设置"), parent), m_dialogs(dialogs), m_appDir(appDir),
      m_CommonDialog1(commonDialog) {
    build();
}

void WeekdayPanel::build() {
    setObjectName(QStringLiteral("Frame1"));
    Option1 = named(new QRadioButton(QStringLiteral("每天相同"), this), "Option1");
    Option2 = named(new QRadioButton(QStringLiteral("每天任意"), this), "Option2");

    Label9 = named(new QLabel(QStringLiteral("星期日"), this), "Label9");
    Label3 = named(new QLabel(QStringLiteral("星期一"), this), "Label3");
    Label4 = named(new QLabel(QStringLiteral("星期二"), this), "Label4");
    Label5 = named(new QLabel(QStringLiteral("星期三"), this), "Label5");
    Label6 = named(new QLabel(QStringLiteral("星期四"), this), "Label6");
    Label7 = named(new QLabel(QStringLiteral("星期五"), this), "Label7");
    Label8 = named(new QLabel(QStringLiteral("星期六"), this), "Label8");
    Label22 = named(new QLabel(QStringLiteral("每天相同"), this), "Label22");
    Text4 = named(new QLineEdit(this), "Text4");
    Text5 = named(new QLineEdit(this), "Text5");
    Text6 = named(new QLineEdit(this), "Text6");
    Text7 = named(new QLineEdit(this), "Text7");
    Text8 = named(new QLineEdit(this), "Text8");
    Text9 = named(new QLineEdit(this), "Text9");
    Text10 = named(new QLineEdit(this), "Text10");
    Text23 = named(new QLineEdit(this), "Text23");
    m_days = {Text4, Text5, Text6, Text7, Text8, Text9, Text10};
    m_dayLabels = {Label9, Label3, Label4, Label5, Label6, Label7, Label8};

    // The mode and the panel's buttons along the top; the days below in two columns, Sunday
    // to Wednesday on the left, Thursday to Saturday and the every-day row on the right, so
    // that the panel fits its band of the main window with every box at a readable height.
    Command11 = named(new QPushButton(QStringLiteral("保存"), this), "Command11");
    HolidayButton = named(new QPushButton(QStringLiteral("节假日…"), this), "HolidayButton");
    LockButton = named(new QPushButton(QStringLiteral("密码…"), this), "LockButton");
    Command3 = named(new QPushButton(QStringLiteral("▲"), this), "Command3");
    Command4 = named(new QPushButton(QStringLiteral("▼"), this), "Command4");
    Command3->setFixedWidth(32);
    Command4->setFixedWidth(32);
    auto *top = new QHBoxLayout;
    top->addWidget(Option1);
    top->addSpacing(12);
    top->addWidget(Option2);
    top->addStretch();
    top->addWidget(LockButton);
    top->addSpacing(12);
    top->addWidget(HolidayButton);
    top->addSpacing(12);
    top->addWidget(Command11);
    top->addSpacing(12);
    top->addWidget(Command3);
    top->addWidget(Command4);

    auto *days = new QGridLayout;
    days->setHorizontalSpacing(4);
    days->setVerticalSpacing(6);
    m_pathLabels = {Label9, Label3, Label4, Label5, Label6, Label7, Label8, Label22};
    m_paths = {Text4, Text5, Text6, Text7, Text8, Text9, Text10, Text23};
    for (int i = 1; i <= 8; ++i) {
        Command10[i] = new QPushButton(QStringLiteral("..."), this);
        Command10[i]->setObjectName(QStringLiteral("Command10_%1").arg(i));
        Command10[i]->setFixedWidth(32);
        const int row = (i - 1) % 4, column = (i - 1) / 4 * 4;
        days->addWidget(m_pathLabels[i - 1], row, column);
        days->addWidget(m_paths[i - 1], row, column + 1);
        days->addWidget(Command10[i], row, column + 2);
        connect(m_paths[i - 1], &QLineEdit::textChanged, this, [this] { Command11->setEnabled(true); });
        connect(Command10[i], &QPushButton::clicked, this, [this, i] { browseList(i); });  // Command10_Click
    }
    days->setColumnMinimumWidth(3, 16);
    days->setColumnStretch(1, 1);
    days->setColumnStretch(5, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->setSpacing(6);
    layout->addLayout(top);
    layout->addLayout(days);
    layout->addStretch();

    // Either option's toggle applies the mode; the one switched off and the one switched on
    // both report, and applying twice is harmless.
    connect(Option1, &QRadioButton::toggled, this, &WeekdayPanel::applyMode);
    connect(Command11, &QPushButton::clicked, this, &WeekdayPanel::saveConfig);  // Command11_Click
    connect(Command3, &QPushButton::clicked, this,
            [this] { windowheight::setCentred(window(), windowheight::Compact); });
    connect(Command4, &QPushButton::clicked, this, [this] { windowheight::setCentred(window(), windowheight::Full); });
    Option2->setChecked(true);
    applyMode();
    Command11->setEnabled(false);
}

void WeekdayPanel::applyMode() {
    const bool same = Option1->isChecked();
    for (int d = 0; d < 7; ++d) {
        m_dayLabels[d]->setEnabled(!same);
        m_days[d]->setEnabled(!same);
        Command10[d + 1]->setEnabled(!same);
    }
    Label22->setEnabled(same);
    Text23->setEnabled(same);
    Command10[8]->setEnabled(same);
    Command11->setEnabled(true);
}

QLineEdit *WeekdayPanel::dayText(int weekday) const {
    return weekday >= 1 && weekday <= 7 ? m_days[weekday - 1] : nullptr;
}

QString WeekdayPanel::todayPath(int weekday) const {
    if (Option1->isChecked())
        return Text23->text();
    const QLineEdit *t = dayText(weekday);
    return t ? t->text() : QString();
}

WeekdayListConfig WeekdayPanel::config() const {
    WeekdayListConfig c;
    c.SameEveryDay = Option1->isChecked();
    for (int d = 0; d < 7; ++d)
        c.DayPaths[d] = m_days[d]->text();
    c.EveryDayPath = Text23->text();
    return c;
}

void WeekdayPanel::showConfig(const WeekdayListConfig &c) {
    (c.SameEveryDay ? Option1 : Option2)->setChecked(true);
    applyMode();
    for (int d = 0; d < 7; ++d)
        m_days[d]->setText(c.DayPaths[d]);
    Text23->setText(c.EveryDayPath);
    Command11->setEnabled(false);
}

void WeekdayPanel::loadConfig() {
    const QString path = m_appDir + QLatin1String(WeekdayListConfig::FileName);
    RecordFile file(path, WeekdayListConfig::RecordSize);
    QByteArray record;
    // A file that cannot be opened reads like a missing one: per-weekday lists, no paths.
    if (const Result opened = file.openForReading(); opened)
        record = file.read(1);
    else
        qCWarning(lcEditor) << "cannot read" << path << opened.reason();
    showConfig(WeekdayListConfig::fromRecord(record));
}

void WeekdayPanel::browseList(int index) {
    CommonDialog &dialog = m_CommonDialog1;
    dialog.Filter = QStringLiteral("*.lst");
    dialog.FileName = m_appDir + QStringLiteral("*.lst");
    dialog.DefaultExt = QStringLiteral(".lst");
    if (!dialog.ShowOpen())
        return;
    if (const QString problem = storablepath::problem(dialog.FileName, WeekdayListConfig::PathBytes);
        !problem.isEmpty()) {
        m_dialogs.message(
            this,
            QStringLiteral("列表文件的路径无法存入列表文件设置，没有采用：\n%1\n（%2）").arg(dialog.FileName, problem),
            Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        return;
    }
    m_paths[index - 1]->setText(dialog.FileName);
}

void WeekdayPanel::saveConfig() {
    // A path typed into a box is in force at once, but the file would keep it cut or changed:
    // nothing is saved until every box holds a path the file can keep.
    QStringList refused;
    for (int i = 0; i < 8; ++i) {
        const QString text = m_paths[i]->text();
        if (const QString problem = storablepath::problem(text, WeekdayListConfig::PathBytes); !problem.isEmpty())
            refused << QStringLiteral("%1：%2\n（%3）").arg(m_pathLabels[i]->text(), text, problem);
    }
    if (!refused.isEmpty()) {
        m_dialogs.message(this,
                          QStringLiteral("下列列表文件的路径无法存入列表文件设置，没有保存：\n") + refused.join('\n'),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        return;
    }
    const QString path = m_appDir + QLatin1String(WeekdayListConfig::FileName);
    if (const Result saved = replaceFile(path, config().toRecord()); !saved) {
        // The settings are still in the controls and still in force; "保存" stays enabled so
        // the user can try again once the folder is writable.
        m_dialogs.message(this, QStringLiteral("列表文件设置无法保存：\n%1\n（%2）").arg(path, saved.reason()),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return;
    }
    Command11->setEnabled(false);
}
