// The calendar dialog: a date's choice, the coming entries, the file's faults, saving and closing.
#include "editor/holidaydialog.h"

#include "broadcast/statustexts.h"
#include "editor/logging.h"
#include "ui/named.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QTextCharFormat>
#include <QVBoxLayout>

namespace {

// At most this many skipped lines are listed; the note says how many there are in all.
constexpr int ListedSkippedLines = 5;

QString dateText(const QDate &date) {
    return QStringLiteral("%1年%2月%3日　%4")
        .arg(date.year())
        .arg(date.month())
        .arg(date.day())
        .arg(statustexts::weekdayName(date.dayOfWeek() % 7 + 1));
}

QString entryText(const holidayrules::Entry &e) {
    QString text = e.date.toString(QStringLiteral("yyyy-MM-dd ")) +
                   statustexts::weekdayName(e.date.dayOfWeek() % 7 + 1) + QChar(0x3000) +
                   (!e.listFile.isEmpty() ? QStringLiteral("按列表 ") + e.listFile
                    : e.follows == DayOff ? QStringLiteral("休息")
                                          : QStringLiteral("按") + holidayrules::followsWord(e.follows));
    if (!e.note.isEmpty())
        text += QChar(0x3000) + e.note;
    return text;
}

}  // namespace

HolidayDialog::HolidayDialog(Clock &clock, Dialogs &dialogs, CommonDialog &commonDialog, HolidayCalendar &holidays,
                             QWidget *parent)
    : QDialog(parent), m_clock(clock), m_dialogs(dialogs), m_CommonDialog1(commonDialog), m_holidays(holidays) {
    setObjectName(QStringLiteral("HolidayDialog"));
    setWindowTitle(QStringLiteral("节假日与调休"));
    setModal(true);

    calendar = named(new QCalendarWidget(this), "calendar");
    calendar->setFirstDayOfWeek(Qt::Monday);
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    dateLabel = named(new QLabel(this), "dateLabel");
    QFont bold = dateLabel->font();
    bold.setBold(true);
    dateLabel->setFont(bold);
    ordinaryOption = named(new QRadioButton(QStringLiteral("照常"), this), "ordinaryOption");
    offOption = named(new QRadioButton(QStringLiteral("休息（不播放定时列表）"), this), "offOption");
    makeUpOption = named(new QRadioButton(QStringLiteral("调休，按"), this), "makeUpOption");
    weekdayBox = named(new QComboBox(this), "weekdayBox");
    for (int d : {2, 3, 4, 5, 6, 7, 1})
        weekdayBox->addItem(statustexts::weekdayName(d), d);
    specialOption = named(new QRadioButton(QStringLiteral("按列表文件"), this), "specialOption");
    listFileText = named(new QLineEdit(this), "listFileText");
    listFileText->setReadOnly(true);
    listFileText->setPlaceholderText(QStringLiteral("考试、运动会、半天课……"));
    listFileButton = named(new QPushButton(QStringLiteral("..."), this), "listFileButton");
    auto *options = new QButtonGroup(this);
    options->addButton(ordinaryOption);
    options->addButton(offOption);
    options->addButton(makeUpOption);
    options->addButton(specialOption);
    noteText = named(new QLineEdit(this), "noteText");
    noteText->setMaxLength(40);
    noteText->setPlaceholderText(QStringLiteral("如：春节"));
    comingList = named(new QListWidget(this), "comingList");
    skippedNote = named(new QLabel(this), "skippedNote");
    skippedNote->setWordWrap(true);
    skippedNote->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0);"));
    skippedNote->hide();
    saveButton = named(new QPushButton(QStringLiteral("保　存"), this), "saveButton");
    closeButton = named(new QPushButton(QStringLiteral("关　闭"), this), "closeButton");
    saveButton->setDefault(true);
    saveButton->setEnabled(false);

    // The calendar on the left, the selected date's choice beside it; the coming entries, the
    // file's faults and the buttons below both.
    auto *choice = new QGridLayout;
    choice->setVerticalSpacing(8);
    choice->addWidget(dateLabel, 0, 0, 1, 3);
    choice->addWidget(ordinaryOption, 1, 0, 1, 3);
    choice->addWidget(offOption, 2, 0, 1, 3);
    choice->addWidget(makeUpOption, 3, 0);
    choice->addWidget(weekdayBox, 3, 1);
    choice->addWidget(new QLabel(QStringLiteral("的列表"), this), 3, 2);
    choice->addWidget(specialOption, 4, 0, 1, 3);
    auto *listFile = new QHBoxLayout;
    listFile->setContentsMargins(20, 0, 0, 0);  // under the option's caption
    listFile->addWidget(listFileText);
    listFile->addWidget(listFileButton);
    choice->addLayout(listFile, 5, 0, 1, 3);
    choice->addWidget(new QLabel(QStringLiteral("备注"), this), 6, 0);
    choice->addWidget(noteText, 6, 1, 1, 2);
    choice->setRowStretch(7, 1);
    auto *top = new QHBoxLayout;
    top->addWidget(calendar);
    top->addSpacing(8);
    top->addLayout(choice);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    auto *column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(new QLabel(QStringLiteral("今天起的节假日与调休"), this));
    column->addWidget(comingList);
    column->addWidget(skippedNote);
    column->addLayout(buttons);
    comingList->setFixedHeight(comingList->fontMetrics().height() * 6);
    skippedNote->setFixedWidth(calendar->sizeHint().width() + 8 + choice->sizeHint().width());
    column->setSizeConstraint(QLayout::SetFixedSize);

    connect(calendar, &QCalendarWidget::selectionChanged, this, &HolidayDialog::showSelectedDate);
    connect(options, &QButtonGroup::buttonToggled, this, [this](QAbstractButton *, bool on) {
        if (on)
            changeSelectedDate();
    });
    connect(weekdayBox, &QComboBox::currentIndexChanged, this, &HolidayDialog::changeSelectedDate);
    connect(listFileButton, &QPushButton::clicked, this, [this] {
        if (chooseListFile())
            changeSelectedDate();
    });
    connect(noteText, &QLineEdit::textEdited, this, &HolidayDialog::changeSelectedDate);
    connect(comingList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { calendar->setSelectedDate(item->data(Qt::UserRole).toDate()); });
    connect(saveButton, &QPushButton::clicked, this, &HolidayDialog::saveCalendar);
    connect(closeButton, &QPushButton::clicked, this, &HolidayDialog::closeDialog);
}

void HolidayDialog::openDialog() {
    m_readFault.clear();
    if (const Result loaded = m_holidays.load(); !loaded) {
        qCWarning(lcEditor) << "cannot read" << m_holidays.path() << loaded.reason();
        m_readFault = QStringLiteral("%1 无法读取（%2），这里是先前读入的内容。")
                          .arg(QDir::toNativeSeparators(m_holidays.path()), loaded.reason());
    }
    m_edited = m_holidays.calendar();
    saveButton->setEnabled(false);
    calendar->setSelectedDate(m_clock.date());
    showSelectedDate();
    showCalendar();
    show();
    raise();
    activateWindow();
}

void HolidayDialog::showSelectedDate() {
    m_filling = true;
    const QDate date = calendar->selectedDate();
    dateLabel->setText(dateText(date));
    const auto it = m_edited.entries.constFind(date);
    const bool has = it != m_edited.entries.constEnd();
    const holidayrules::Entry entry = has ? *it : holidayrules::Entry{};
    const bool special = !entry.listFile.isEmpty();
    (!has                      ? ordinaryOption
     : special                 ? specialOption
     : entry.follows == DayOff ? offOption
                               : makeUpOption)
        ->setChecked(true);
    const int index = weekdayBox->findData(has && !special && entry.follows != DayOff ? entry.follows : 2);
    weekdayBox->setCurrentIndex(index);
    listFileText->setText(entry.listFile);
    listFileText->setToolTip(listFileText->text());
    noteText->setText(entry.note);
    showEnabled();
    m_filling = false;
}

void HolidayDialog::showEnabled() {
    weekdayBox->setEnabled(makeUpOption->isChecked());
    listFileText->setEnabled(specialOption->isChecked());
    listFileButton->setEnabled(specialOption->isChecked());
    noteText->setEnabled(!ordinaryOption->isChecked());
}

// A path the file could not keep as it is would name another file, or none, after a save:
// it is refused where it is chosen.
bool HolidayDialog::chooseListFile() {
    CommonDialog &dialog = m_CommonDialog1;
    dialog.Filter = QStringLiteral("*.lst");
    dialog.FileName = listFileText->text().isEmpty()
                          ? QFileInfo(m_holidays.path()).absolutePath() + QStringLiteral("/*.lst")
                          : listFileText->text();
    dialog.DefaultExt = QStringLiteral(".lst");
    if (!dialog.ShowOpen())
        return false;
    if (const QString problem = holidayrules::listFileProblem(dialog.FileName); !problem.isEmpty()) {
        m_dialogs.message(this,
                          QStringLiteral("列表文件的路径无法存入节假日与调休，没有采用：\n%1\n（%2）")
                              .arg(QDir::toNativeSeparators(dialog.FileName), problem),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        return false;
    }
    listFileText->setText(dialog.FileName);
    listFileText->setToolTip(listFileText->text());
    return true;
}

void HolidayDialog::changeSelectedDate() {
    if (m_filling)
        return;
    const QDate date = calendar->selectedDate();
    // A special day needs its list: chosen at once, and without one the date stays as it was.
    if (specialOption->isChecked() && listFileText->text().isEmpty() && !chooseListFile()) {
        showSelectedDate();
        return;
    }
    if (ordinaryOption->isChecked()) {
        m_edited.entries.remove(date);
        noteText->clear();  // a note belongs to an entry
    } else if (specialOption->isChecked()) {
        m_edited.entries.insert(date,
                                {date, date.dayOfWeek() % 7 + 1, noteText->text().trimmed(), listFileText->text()});
    } else {
        const int follows = offOption->isChecked() ? DayOff : weekdayBox->currentData().toInt();
        m_edited.entries.insert(date, {date, follows, noteText->text().trimmed(), {}});
    }
    showEnabled();
    saveButton->setEnabled(true);
    showCalendar();
}

void HolidayDialog::showCalendar() {
    calendar->setDateTextFormat(QDate(), QTextCharFormat());
    comingList->clear();
    const QDate today = m_clock.date();
    for (const holidayrules::Entry &e : m_edited.entries) {
        QTextCharFormat marked;
        marked.setFontWeight(QFont::Bold);
        if (!e.listFile.isEmpty()) {
            marked.setForeground(QColor(176, 88, 0));
            marked.setBackground(QColor(255, 236, 204));
        } else {
            const bool off = e.follows == DayOff;
            marked.setForeground(off ? QColor(255, 0, 0) : QColor(0, 0, 255));
            marked.setBackground(off ? QColor(255, 228, 228) : QColor(224, 232, 255));
        }
        calendar->setDateTextFormat(e.date, marked);
        if (e.date < today)
            continue;
        auto *item = new QListWidgetItem(entryText(e), comingList);
        item->setData(Qt::UserRole, e.date);
        item->setToolTip(item->text());
        item->setForeground(marked.foreground());
    }
    if (comingList->count() == 0) {
        auto *none = new QListWidgetItem(QStringLiteral("（没有）"), comingList);
        none->setFlags(Qt::NoItemFlags);
    }

    QStringList lines;
    if (!m_readFault.isEmpty())
        lines << m_readFault;
    const QList<holidayrules::SkippedLine> &skipped = m_edited.skipped;
    if (!skipped.isEmpty())
        lines << QStringLiteral("%1 中有 %2 行无法识别，没有生效；保存时它们仍保留在文件里：")
                     .arg(QString::fromLatin1(HolidayCalendar::FileName))
                     .arg(skipped.size());
    for (int i = 0; i < std::min<int>(int(skipped.size()), ListedSkippedLines); ++i)
        lines << QStringLiteral("第 %1 行（%2）：%3").arg(skipped[i].number).arg(skipped[i].reason, skipped[i].text);
    if (skipped.size() > ListedSkippedLines)
        lines << QStringLiteral("……");
    skippedNote->setText(lines.join(QLatin1Char('\n')));
    skippedNote->setVisible(!lines.isEmpty());
}

bool HolidayDialog::saveCalendar() {
    if (const Result saved = m_holidays.save(m_edited); !saved) {
        // The edits stay in the dialog and "保　存" stays enabled, so the operator can try again.
        m_dialogs.message(this,
                          QStringLiteral("节假日与调休无法保存：\n%1\n（%2）")
                              .arg(QDir::toNativeSeparators(m_holidays.path()), saved.reason()),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        return false;
    }
    m_edited = m_holidays.calendar();
    m_readFault.clear();
    saveButton->setEnabled(false);
    showCalendar();
    return true;
}

void HolidayDialog::closeDialog() {
    if (saveButton->isEnabled()) {
        const Dialogs::Answer answer =
            m_dialogs.message(this, QStringLiteral("设置数据已经修改，需要保存吗？"), Dialogs::Buttons::YesNo,
                              Dialogs::Icon::Question, QStringLiteral("警告"), Dialogs::Answer::Yes);
        if (answer == Dialogs::Answer::Yes && !saveCalendar())
            return;
        saveButton->setEnabled(false);
    }
    hide();
}

void HolidayDialog::reject() { closeDialog(); }
