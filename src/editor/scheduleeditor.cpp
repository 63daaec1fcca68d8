// The schedule editor's controls and commands.
#include "editor/scheduleeditor.h"

#include "broadcast/todaylist.h"
#include "core/schedulelistfile.h"
#include "core/storablepath.h"
#include "core/timetext.h"
#include "editor/logging.h"
#include "editor/lstcfg.h"
#include "ui/flexgrid.h"
#include "ui/named.h"
#include "ui/twips.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <cmath>

using editorrules::State;

namespace {

const QString ListFilter = QStringLiteral("*.lst");
const QString ListPathRefused = QStringLiteral("列表文件的路径无法存入列表文件设置，");
const QString SoundPathRefused = QStringLiteral("声音文件的路径无法存入列表文件，");
const QString SoundFilter = QStringLiteral("*.wav|*.wav|*.mid|*.mid|*.mp3|*.mp3|*.mid;*.wav;*.mp3|*.mid;*.wav;*.mp3");

}  // namespace

ScheduleEditor::ScheduleEditor(Dialogs &dialogs, CommonDialog &commonDialog, const QString &appDir,
                               FlexGrid &MSFlexGrid1, TodayList &todayList, QWidget *parent)
    : QGroupBox(QStringLiteral("播放设置"), parent), m_dialogs(dialogs), m_appDir(appDir), m_todayGrid(MSFlexGrid1),
      m_todayList(todayList), m_CommonDialog1(commonDialog) {
    setObjectName(QStringLiteral("Frame2"));

    Label10 = named(new QLabel(QStringLiteral("项目名称"), this), "Label10");
    Text11 = named(new QLineEdit(this), "Text11");
    Label11 = named(new QLabel(QStringLiteral("声音文件"), this), "Label11");
    Text12 = named(new QLineEdit(this), "Text12");
    Command12 = named(new QPushButton(QStringLiteral("..."), this), "Command12");
    Command12->setFixedWidth(32);
    timefield::selectAllOnFocus(Text11);
    timefield::selectAllOnFocus(Text12);

    Label12 = named(new QLabel(QStringLiteral("开播时间"), this), "Label12");
    StartEntry = new TimeEntry({"Text13", "VScroll1", "Text14", "VScroll2", "Text15", "VScroll3"},
                               {TimeEntry::Variant::MainWindow, true, false}, this);
    Text13 = StartEntry->hoursText;
    Text14 = StartEntry->minutesText;
    Text15 = StartEntry->secondsText;
    VScroll1 = StartEntry->hoursSpinner;
    VScroll2 = StartEntry->minutesSpinner;
    VScroll3 = StartEntry->secondsSpinner;

    Label15 = named(new QLabel(QStringLiteral("播放长度"), this), "Label15");
    Option3 = named(new QRadioButton(QStringLiteral("播完"), this), "Option3");
    Option4 = named(new QRadioButton(QStringLiteral("定时"), this), "Option4");
    auto *lengthGroup = new QButtonGroup(this);
    lengthGroup->addButton(Option3);
    lengthGroup->addButton(Option4);
    Option3->setChecked(true);
    LengthEntry = new TimeEntry({"Text16", "VScroll4", "Text17", "VScroll5", "Text18", "VScroll6"},
                                {TimeEntry::Variant::MainWindow, true, false}, this);
    Text16 = LengthEntry->hoursText;
    Text17 = LengthEntry->minutesText;
    Text18 = LengthEntry->secondsText;
    VScroll4 = LengthEntry->hoursSpinner;
    VScroll5 = LengthEntry->minutesSpinner;
    VScroll6 = LengthEntry->secondsSpinner;

    Label18 = named(new QLabel(QStringLiteral("列表文件"), this), "Label18");
    Text19 = named(new QLineEdit(this), "Text19");

    Command6 = named(new QPushButton(QStringLiteral("打开文件"), this), "Command6");
    Command13 = named(new QPushButton(QStringLiteral("另存为"), this), "Command13");
    Command7 = named(new QPushButton(QStringLiteral("添加"), this), "Command7");
    Command8 = named(new QPushButton(QStringLiteral("修改"), this), "Command8");
    Command9 = named(new QPushButton(QStringLiteral("删除"), this), "Command9");
    Command5 = named(new QPushButton(QStringLiteral("放弃"), this), "Command5");
    Command18 = named(new QPushButton(QStringLiteral("排序保存"), this), "Command18");
    for (QPushButton *b : {Command6, Command13, Command7, Command8, Command9, Command5, Command18})
        b->setAutoDefault(false);

    MSFlexGrid2 = named(new FlexGrid(4, this), "MSFlexGrid2");
    // The grid takes the right half of the panel; its width is fixed so that the column widths
    // set at start-up fit it exactly.
    MSFlexGrid2->setFixedWidth(twipsToPixels(4950));

    // Six rows on the left, so that the panel fits its band of the main window: the item's
    // fields, the list file with its open/close button, and the editing and saving commands.
    auto *fields = new QGridLayout;
    fields->setHorizontalSpacing(4);
    fields->setVerticalSpacing(4);
    int row = 0;
    fields->addWidget(Label10, row, 0);
    fields->addWidget(Text11, row++, 1, 1, 2);
    fields->addWidget(Label11, row, 0);
    fields->addWidget(Text12, row, 1);
    fields->addWidget(Command12, row++, 2);
    fields->addWidget(Label12, row, 0);
    fields->addWidget(StartEntry, row++, 1, 1, 2);
    auto *length = new QHBoxLayout;
    length->addWidget(Option3);
    length->addWidget(Option4);
    length->addSpacing(4);
    length->addWidget(LengthEntry);
    fields->addWidget(Label15, row, 0);
    fields->addLayout(length, row++, 1, 1, 2);
    auto *list = new QHBoxLayout;
    list->addWidget(Text19, 1);
    list->addWidget(Command6);
    fields->addWidget(Label18, row, 0);
    fields->addLayout(list, row++, 1, 1, 2);
    auto *commands = new QHBoxLayout;
    commands->setSpacing(4);
    for (QPushButton *b : {Command7, Command8, Command9, Command5})
        commands->addWidget(b);
    commands->addStretch();
    commands->addWidget(Command13);
    commands->addWidget(Command18);
    fields->addLayout(commands, row++, 0, 1, 3);
    fields->setRowStretch(row, 1);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 6);
    layout->setSpacing(8);
    layout->addLayout(fields, 1);
    layout->addWidget(MSFlexGrid2);

    connect(Command6, &QPushButton::clicked, this, &ScheduleEditor::openOrCloseList);   // Command6_Click
    connect(Command12, &QPushButton::clicked, this, &ScheduleEditor::browseSoundFile);  // Command12_Click
    connect(Command7, &QPushButton::clicked, this, &ScheduleEditor::addItem);           // Command7_Click
    connect(Command8, &QPushButton::clicked, this, &ScheduleEditor::modifyItem);        // Command8_Click
    connect(Command9, &QPushButton::clicked, this, &ScheduleEditor::deleteItem);        // Command9_Click
    connect(Command5, &QPushButton::clicked, this, &ScheduleEditor::abandonCommand);    // Command5_Click
    connect(Command13, &QPushButton::clicked, this, &ScheduleEditor::saveSortedAs);     // Command13_Click
    connect(Command18, &QPushButton::clicked, this, &ScheduleEditor::sortAndSave);      // Command18_Click
    connect(MSFlexGrid2, &FlexGrid::Click, this, &ScheduleEditor::takeRowIntoFields);   // MSFlexGrid2_Click

    setState(State::Closed);
}

void ScheduleEditor::prepareGrid() {
    FlexGrid &g = *MSFlexGrid2;
    const double w = g.WidthTwips();
    for (int c = 0; c <= 2; ++c)
        g.setColWidth(c, int(std::lround(w * 5 / 27)));
    g.setColWidth(3, int(std::lround(w * (1 - 15.0 / 27) - 100)));
    const QStringList headers = {QStringLiteral("开播时间"), QStringLiteral("项目名称"), QStringLiteral("播放时间"),
                                 QStringLiteral("播放文件")};
    for (int c = 0; c < headers.size(); ++c)
        g.setTextMatrix(0, c, headers[c]);
    g.setRows(1);
    g.setRow(0);
}

void ScheduleEditor::setState(State state) {
    m_state = state;
    const editorrules::StateView v = editorrules::stateView(state);
    Command6->setText(v.command6);
    Command7->setText(v.command7);
    Command8->setText(v.command8);
    Command9->setText(v.command9);
    Command6->setEnabled(v.command6Enabled);
    Command7->setEnabled(v.command7Enabled);
    Command8->setEnabled(v.command8Enabled);
    Command9->setEnabled(v.command9Enabled);
    Command13->setEnabled(v.command13Enabled);
    Command5->setEnabled(v.command5Enabled);
    MSFlexGrid2->setEnabled(v.gridEnabled);
    // The default button stays until another one is made default, whatever the state.
    QPushButton *const defaults[] = {nullptr, Command7, Command8, Command9};
    if (v.defaultButton >= 7) {
        if (m_defaultButton)
            m_defaultButton->setDefault(false);
        m_defaultButton = defaults[v.defaultButton - 6];
        m_defaultButton->setDefault(true);
    }
}

void ScheduleEditor::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter on a button with the focus presses that button, as in a dialog: "放弃" with
        // the focus must give an add up, not commit it.
        if (auto *focused = qobject_cast<QPushButton *>(focusWidget()); focused && isAncestorOf(focused)) {
            if (focused->isEnabled())
                focused->click();
            event->accept();
            return;
        }
        // Text boxes pass Enter on; it presses the panel's default button.
        if (m_defaultButton && m_defaultButton->isEnabled()) {
            m_defaultButton->click();
            event->accept();
            return;
        }
    }
    QGroupBox::keyPressEvent(event);
}

void ScheduleEditor::reportFailure(const QString &what, const QString &path, const QString &reason) {
    QString text = what + QStringLiteral("\n") + path;
    if (!reason.isEmpty())
        text += QStringLiteral("\n（") + reason + QStringLiteral("）");
    m_dialogs.message(this, text, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}

bool ScheduleEditor::isStorable(const QString &path, int maxBytes, const QString &what) {
    const QString problem = storablepath::problem(path, maxBytes);
    if (problem.isEmpty())
        return true;
    m_dialogs.message(this,
                      what + QStringLiteral("\n") + path + QStringLiteral("\n（") + problem + QStringLiteral("）"),
                      Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    return false;
}

// --- opening and closing -------------------------------------------------------------------

void ScheduleEditor::openOrCloseList() {
    if (m_state == State::Closed)
        openList();
    else
        closeList();
}

void ScheduleEditor::openList() {
    m_CommonDialog1.Filter = ListFilter;
    m_CommonDialog1.FileName = m_appDir + QStringLiteral("*.lst");
    m_CommonDialog1.DefaultExt = QStringLiteral("lst");
    if (!m_CommonDialog1.ShowOpen())
        return;
    const QString path = m_CommonDialog1.FileName;
    // A list edited here is meant to be chosen for a weekday, whose setting keeps its path.
    if (!isStorable(path, WeekdayListConfig::PathBytes, ListPathRefused + QStringLiteral("没有打开：")))
        return;
    QList<ScheduleItem> items;
    if (const Result loaded = ScheduleListFile::load(path, &items); !loaded) {
        // Nothing is open then: the panel stays closed and the user may choose another file.
        reportFailure(QStringLiteral("列表文件无法打开，没有打开任何文件："), path, loaded.reason());
        return;
    }
    Text19->setText(path);
    setState(State::Open);
    emit listOpenChanged(true);
    fillGrid(items);
}

void ScheduleEditor::closeList() {
    const QString path = Text19->text();
    if (!path.isEmpty() && !QFileInfo(path).isFile()) {
        // Loading would create the vanished file empty and empty today's list with it. The
        // grid still holds the list, and closing lets it go: the operator decides.
        const Dialogs::Answer answer = m_dialogs.message(
            this,
            QStringLiteral("列表文件已被移走，今天的播放列表保持不变：\n%1\n"
                           "编辑器中的列表还没有保存，可用“排序保存”或“另存为”保存。\n仍然关闭此文件吗？")
                .arg(path),
            Dialogs::Buttons::YesNo, Dialogs::Icon::Exclamation, QString(), Dialogs::Answer::No);
        if (answer != Dialogs::Answer::Yes)
            return;
    } else if (!path.isEmpty()) {
        QList<ScheduleItem> items;
        if (const Result loaded = ScheduleListFile::load(path, &items); !loaded) {
            // Today's schedule keeps what it had rather than being emptied by an unreadable file.
            reportFailure(QStringLiteral("列表文件无法读取，今天的播放列表保持不变："), path, loaded.reason());
        } else {
            todaygrid::show(m_todayGrid, m_todayList, items);
            todaygrid::clearMarks(m_todayGrid);
            if (items.size() > TodayList::Capacity)
                m_dialogs.message(this,
                                  QStringLiteral("此列表共有 %1 项，今天的播放只能使用前 %2 项。")
                                      .arg(items.size())
                                      .arg(TodayList::Capacity),
                                  Dialogs::Buttons::Ok, Dialogs::Icon::Information);
        }
    }
    Text19->clear();
    setState(State::Closed);
    MSFlexGrid2->setRow(0);
    MSFlexGrid2->setRows(1);
    MSFlexGrid2->setRow(0);
    emit listOpenChanged(false);
}

// --- the input fields ------------------------------------------------------------------------

void ScheduleEditor::browseSoundFile() {
    // The initial name and extension stay as the last use left them, so the dialog opens in
    // the folder last used.
    m_CommonDialog1.Filter = SoundFilter;
    if (m_CommonDialog1.ShowOpen() &&
        isStorable(m_CommonDialog1.FileName, ScheduleItem::FileBytes, SoundPathRefused + QStringLiteral("没有采用：")))
        Text12->setText(m_CommonDialog1.FileName);
}

bool ScheduleEditor::isStorableSoundFile() {
    if (isStorable(Text12->text(), ScheduleItem::FileBytes, SoundPathRefused + QStringLiteral("没有写入：")))
        return true;
    Text12->setFocus();
    return false;
}

ScheduleItem ScheduleEditor::fieldItem() const {
    const QString length = Option3->isChecked() ? timetext::playToEnd() : LengthEntry->composedText();
    ScheduleItem item = editorrules::itemFromRow({StartEntry->composedText(), Text11->text(), length, Text12->text()});
    return item;
}

void ScheduleEditor::takeRowIntoFields() {
    const int r = MSFlexGrid2->Row();
    // The header row offers nothing to take into the fields.
    if (MSFlexGrid2->Rows() <= 1 || r < 1)
        return;
    Text11->setText(MSFlexGrid2->TextMatrix(r, editorrules::NameColumn));
    Text12->setText(MSFlexGrid2->TextMatrix(r, editorrules::FileColumn));
    const int start = timetext::parse(MSFlexGrid2->TextMatrix(r, editorrules::StartColumn)).value_or(0);
    StartEntry->setTime(start / 3600, start / 60 % 60, start % 60);
    const QString length = MSFlexGrid2->TextMatrix(r, editorrules::LengthColumn);
    if (length != timetext::playToEnd()) {
        Option4->setChecked(true);
        const int l = timetext::parse(length).value_or(0);
        LengthEntry->setTime(l / 3600, l / 60 % 60, l % 60);
    } else {
        // Only the boxes: the spinners keep their values, and the next arrow click goes on from there.
        Text16->setText(QStringLiteral("00"));
        Text17->setText(QStringLiteral("00"));
        Text18->setText(QStringLiteral("00"));
        Option3->setChecked(true);
    }
}

// --- grid and file ---------------------------------------------------------------------------

void ScheduleEditor::fillGrid(const QList<ScheduleItem> &items) {
    FlexGrid &g = *MSFlexGrid2;
    g.setRows(int(items.size()) + 1);
    FlexGridModel *cells = g.cells();
    // One change notice for the whole list instead of one per row: a 32766-row list would
    // otherwise spend more time telling the view than filling the cells.
    {
        const QSignalBlocker quiet(cells);
        for (int i = 0; i < items.size(); ++i)
            cells->setRowTexts(i + 1, editorrules::rowTexts(items[i]));
    }
    if (!items.isEmpty())
        emit cells->dataChanged(cells->index(0, 0), cells->index(int(items.size()) - 1, g.Cols() - 1));
    g.setRow(0);
    g.setCol(0);
}

QList<ScheduleItem> ScheduleEditor::gridItems(const QList<int> &rows) const {
    QList<ScheduleItem> items;
    items.reserve(rows.size());
    const FlexGrid &g = *MSFlexGrid2;
    for (int r : rows)
        items.append(
            editorrules::itemFromRow(g.TextMatrix(r, 0), g.TextMatrix(r, 1), g.TextMatrix(r, 2), g.TextMatrix(r, 3)));
    return items;
}

QList<int> ScheduleEditor::sortedGridRows() const {
    QStringList starts;
    const int n = MSFlexGrid2->Rows() - 1;
    starts.reserve(n);
    for (int r = 1; r <= n; ++r)
        starts.append(MSFlexGrid2->TextMatrix(r, editorrules::StartColumn));
    return editorrules::sortedRows(starts);
}

bool ScheduleEditor::rewriteAndReload(const QString &path, const QList<ScheduleItem> &items) {
    if (const Result r = ScheduleListFile::rewrite(path, items); !r) {
        reportFailure(QStringLiteral("列表文件无法写入，文件保持原样："), path, r.reason());
        return false;
    }
    QList<ScheduleItem> written;
    if (const Result reloaded = ScheduleListFile::load(path, &written); !reloaded) {
        qCWarning(lcEditor) << "written but not read back" << path << reloaded.reason();
        // The file was written whole; show its records as they went to disk.
        written.clear();
        for (const ScheduleItem &item : items)
            written.append(ScheduleItem::fromRecord(item.toRecord()));
    }
    fillGrid(written);
    return true;
}

bool ScheduleEditor::fileMatchesGrid(const QString &path) {
    const QString moved = QStringLiteral(
        "列表文件已被移走或被其他程序改动，没有写入。"
        "可用“排序保存”或“另存为”保存编辑器中的列表：");
    // Counting would create a vanished file empty; a record added to that would stand alone.
    if (!QFileInfo(path).isFile()) {
        reportFailure(moved, path, QString());
        return false;
    }
    int n = 0;
    if (const Result counted = ScheduleListFile::count(path, &n); !counted) {
        reportFailure(QStringLiteral("列表文件无法打开，没有写入："), path, counted.reason());
        return false;
    }
    if (n != MSFlexGrid2->Rows() - 1) {
        reportFailure(moved, path, QString());
        return false;
    }
    return true;
}

// --- the commands ----------------------------------------------------------------------------

void ScheduleEditor::addItem() {
    const QString path = Text19->text();
    if (path.isEmpty())
        return;
    if (m_state != State::Adding) {
        setState(State::Adding);
        Text11->setFocus();
        return;
    }
    if (Text12->text().isEmpty()) {
        Text12->setFocus();
        return;
    }
    if (Option4->isChecked() && timetext::parse(LengthEntry->composedText()).value_or(0) == 0) {
        m_dialogs.message(this, QStringLiteral("时间设置错误！"), Dialogs::Buttons::Ok, Dialogs::Icon::None);
        return;
    }
    const int n = MSFlexGrid2->Rows() - 1;
    if (n >= ScheduleListFile::MaxItems) {
        m_dialogs.message(this, QStringLiteral("一个列表最多 %1 项，不能再添加。").arg(ScheduleListFile::MaxItems),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        return;
    }
    // A refused path or a failed write keeps the panel adding: OK tries again, "放弃" gives up.
    if (!isStorableSoundFile() || !fileMatchesGrid(path))
        return;
    const ScheduleItem item = fieldItem();
    if (const Result r = ScheduleListFile::append(path, item); !r) {
        reportFailure(QStringLiteral("列表文件无法写入，文件保持原样："), path, r.reason());
        return;
    }
    const int current = MSFlexGrid2->Row();
    MSFlexGrid2->setRows(n + 2);
    MSFlexGrid2->setRow(current);
    MSFlexGrid2->cells()->setRowTexts(n + 1, editorrules::newRowTexts(item));
    MSFlexGrid2->setTopRow(n + 1);
    setState(State::Open);
}

void ScheduleEditor::modifyItem() {
    const int r = MSFlexGrid2->Row();
    if (r < 1)
        return;
    if (m_state != State::Modifying) {
        setState(State::Modifying);
        Text11->setFocus();
        return;
    }
    const QString path = Text19->text();
    if (!isStorableSoundFile() || !fileMatchesGrid(path))
        return;
    const ScheduleItem item = fieldItem();
    if (const Result written = ScheduleListFile::overwrite(path, r, item); !written) {
        reportFailure(QStringLiteral("列表文件无法写入，文件保持原样："), path, written.reason());
        return;
    }
    MSFlexGrid2->cells()->setRowTexts(r, editorrules::newRowTexts(item));
    setState(State::Open);
}

void ScheduleEditor::deleteItem() {
    const int r = MSFlexGrid2->Row();
    if (r < 1)
        return;
    if (m_state != State::Deleting) {
        setState(State::Deleting);
        return;
    }
    QList<int> rows;
    for (int i = 1; i < MSFlexGrid2->Rows(); ++i)
        if (i != r)
            rows.append(i);
    if (!rewriteAndReload(Text19->text(), gridItems(rows)))
        return;
    setState(State::Open);
}

void ScheduleEditor::abandonCommand() { setState(State::Open); }

void ScheduleEditor::saveSortedAs() {
    if (Text19->text().isEmpty())
        return;
    m_CommonDialog1.Filter = ListFilter;
    m_CommonDialog1.FileName = m_appDir + QStringLiteral("*.lst");
    m_CommonDialog1.DefaultExt = QStringLiteral("lst");
    if (!m_CommonDialog1.ShowSave())
        return;
    if (MSFlexGrid2->Rows() <= 1)
        return;
    const QString path = m_CommonDialog1.FileName;
    if (!isStorable(path, WeekdayListConfig::PathBytes, ListPathRefused + QStringLiteral("没有保存：")))
        return;
    if (rewriteAndReload(path, gridItems(sortedGridRows())))
        Text19->setText(path);
}

void ScheduleEditor::sortAndSave() {
    if (MSFlexGrid2->Rows() <= 1 || Text19->text().isEmpty())
        return;
    rewriteAndReload(Text19->text(), gridItems(sortedGridRows()));
}
