// The mark clearing dialog, qc.cfg and the clearing timer.
#include "housekeeping/form3.h"

#include "broadcast/todaylist.h"
#include "core/linefile.h"
#include "core/timetext.h"
#include "housekeeping/housekeepingrules.h"
#include "housekeeping/logging.h"
#include "housekeeping/qccfg.h"
#include "ui/named.h"

#include <QDir>
#include <QHBoxLayout>
#include <QVBoxLayout>

Form3::Form3(Clock &clock, Dialogs &dialogs, const QString &appDir, FlexGrid &todayGrid, QWidget *parent)
    : QDialog(parent), m_clock(clock), m_dialogs(dialogs), m_appDir(appDir), m_todayGrid(todayGrid) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("播放清除设置"));
    setModal(false);

    Label1 = named(
        new QLabel(QStringLiteral("　　在不设置自动关机的情况下，需设置自动清除已经播放标记的时间，以刷新播放列表！"),
                   this),
        "Label1");
    Label1->setWordWrap(true);
    Label2 = named(new QLabel(QStringLiteral("自动清除时间"), this), "Label2");
    timeEntry = new TimeEntry({"Text22", "VScroll9", "Text21", "VScroll8", "Text20", "VScroll7"},
                              {TimeEntry::Variant::Dialog, false, false}, this);
    Text22 = timeEntry->hoursText;
    Text21 = timeEntry->minutesText;
    Text20 = timeEntry->secondsText;
    VScroll9 = timeEntry->hoursSpinner;
    VScroll8 = timeEntry->minutesSpinner;
    VScroll7 = timeEntry->secondsSpinner;
    Check1 = named(new QCheckBox(QStringLiteral("自动清除有效"), this), "Check1");
    Check1->setChecked(true);
    Command1 = named(new QPushButton(QStringLiteral("保　存"), this), "Command1");
    Command2 = named(new QPushButton(QStringLiteral("关　闭"), this), "Command2");
    Command1->setDefault(true);
    Command1->setEnabled(false);

    auto *column = new QVBoxLayout(this);
    column->addWidget(Label1);
    auto *timeRow = new QHBoxLayout;
    timeRow->addWidget(Label2);
    timeRow->addWidget(timeEntry);
    timeRow->addStretch();
    column->addLayout(timeRow);
    column->addWidget(Check1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    column->addLayout(buttons);
    resize(300, sizeHint().height());
    setFixedSize(size().expandedTo(minimumSizeHint()));

    connect(timeEntry, &TimeEntry::modified, this, [this] { Command1->setEnabled(true); });
    connect(Check1, &QCheckBox::toggled, this, [this] { Command1->setEnabled(true); });  // Check1_Click
    connect(Command1, &QPushButton::clicked, this, &Form3::save);
    connect(Command2, &QPushButton::clicked, this, &Form3::closeDialog);

    Timer1 = new Timer(clock, QStringLiteral("Timer1"), 1000, true, this);
    connect(Timer1, &Timer::timeout, this, &Form3::clearingTick);  // Timer1_Timer
}

QString Form3::settingsFilePath() const { return m_appDir + qccfg::fileName(); }

void Form3::GetQc() {
    QStringList lines;
    if (const Result read = linefile::read(settingsFilePath(), &lines); !read)
        qCWarning(lcClearing) << "cannot read" << settingsFilePath() << read.reason();
    const qccfg::Read stored = qccfg::parse(lines);
    if (!lines.isEmpty() && !stored.time)
        qCWarning(lcClearing) << settingsFilePath() << "holds no clearing time; the dialog keeps"
                              << timeEntry->composedText();
    if (stored.time) {
        // The boxes move the spinners, which write the boxes back in two-digit form.
        Text22->setText((*stored.time)[0]);
        Text21->setText((*stored.time)[1]);
        Text20->setText((*stored.time)[2]);
    }
    if (stored.clearing)
        Check1->setChecked(*stored.clearing);
    Command1->setEnabled(false);
}

bool Form3::SaveQc() {
    const QString line = qccfg::format(Text22->text(), Text21->text(), Text20->text(), Check1->isChecked());
    const Result saved = linefile::write(settingsFilePath(), {line});
    if (saved)
        return true;
    m_dialogs.message(this,
                      QStringLiteral("播放清除设置无法保存：\n%1\n（%2）")
                          .arg(QDir::toNativeSeparators(settingsFilePath()), saved.reason()),
                      Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
    return false;
}

void Form3::save() {
    if (SaveQc())
        Command1->setEnabled(false);
}

void Form3::closeDialog() {
    if (Command1->isEnabled()) {
        const Dialogs::Answer answer =
            m_dialogs.message(this, QStringLiteral("设置数据已经修改，需要保存吗？"), Dialogs::Buttons::YesNo,
                              Dialogs::Icon::Question, QStringLiteral("警告"), Dialogs::Answer::Yes);
        // Nothing written: the dialog stays with its changes, so the operator reads the
        // message and decides again.
        if (answer == Dialogs::Answer::Yes && !SaveQc())
            return;
        Command1->setEnabled(false);
    }
    hide();
}

void Form3::reject() { closeDialog(); }

void Form3::clearingTick() {
    const bool wasClearing = m_clearing;
    m_clearing = false;
    if (!Check1->isChecked())
        return;
    // The boxes hold what the spinners put there, so this is a time of day; should it not
    // be one, this tick clears nothing.
    const std::optional<int> clearingTime = timetext::parse(timeEntry->composedText());
    if (!housekeepingrules::isClearingDue(clearingTime, m_clock.secondsOfDay()))
        return;
    m_clearing = true;
    const int cleared = todaygrid::clearMarks(m_todayGrid);
    if (cleared > 0 || !wasClearing)
        m_asRun->record(QStringLiteral("clearing"), QStringLiteral("清除播放标记 %1 项").arg(cleared));
}
