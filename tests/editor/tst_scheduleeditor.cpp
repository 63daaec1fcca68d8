// The schedule editor driven by its buttons and grid: list file bytes, panel states, failures.
#include "broadcast/todaylist.h"
#include "core/schedulelistfile.h"
#include "editor/scheduleeditor.h"
#include "support/panelenv.h"
#include "support/testfiles.h"
#include "ui/flexgrid.h"

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

using editorrules::State;

namespace {

QByteArray fileBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray records(const QList<ScheduleItem> &items) {
    QByteArray out;
    for (const ScheduleItem &i : items)
        out += i.toRecord();
    return out;
}

void writeList(const QString &path, const QList<ScheduleItem> &items) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(records(items));
}

QStringList row(const FlexGrid &g, int r) {
    return {g.TextMatrix(r, 0), g.TextMatrix(r, 1), g.TextMatrix(r, 2), g.TextMatrix(r, 3)};
}

const ScheduleItem Bell{8 * 3600, QStringLiteral("上课铃"), 0, QStringLiteral("/snd/bell.wav")};
const ScheduleItem News{13 * 3600, QStringLiteral("新闻"), 600, QStringLiteral("/snd/news.mp3")};
const ScheduleItem Drill{8 * 3600 + 300, QStringLiteral("早操"), 300, QStringLiteral("/snd/drill.mid")};

// An editor on a window of its own, with today's grid and list beside it as the main window has them.
struct Fixture {
    PanelEnv env;
    QWidget window;
    FlexGrid today{5};
    TodayList todayList;
    ScheduleEditor *editor;
    QSignalSpy *openChanges;

    Fixture() {
        editor = new ScheduleEditor(*env.dialogs, env.commonDialog, env.appDir, today, todayList, &window);
        editor->prepareGrid();
        openChanges = new QSignalSpy(editor, &ScheduleEditor::listOpenChanged);
    }
    ~Fixture() { delete openChanges; }
    FlexGrid &grid() { return *editor->MSFlexGrid2; }
    QString path(const QString &name) const { return env.path(name); }

    void open(const QString &path) {
        env.dialogs->chosenFiles.enqueue(path);
        editor->Command6->click();
    }
    void openWith(const QString &name, const QList<ScheduleItem> &items) {
        writeList(path(name), items);
        open(path(name));
    }
    // A user's click on a data row of the editor grid.
    void clickRow(int r) {
        if (!window.isVisible()) {
            window.resize(900, 400);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        FlexGrid &g = grid();
        const QRect cell = g.visualRect(g.cells()->index(r - 1, 1));
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cell.center());
    }
    void setFields(const QString &name, const QString &file, int start, bool toEnd, int length) {
        editor->Text11->setText(name);
        editor->Text12->setText(file);
        editor->StartEntry->setTime(start / 3600, start / 60 % 60, start % 60);
        (toEnd ? editor->Option3 : editor->Option4)->setChecked(true);
        editor->LengthEntry->setTime(length / 3600, length / 60 % 60, length % 60);
    }
    QString lastMessage() const {
        return env.dialogs->messages.isEmpty() ? QString() : env.dialogs->messages.last().text;
    }
};

}  // namespace

class TstScheduleEditor : public QObject {
    Q_OBJECT
private slots:
    void startsClosedWithHeaderOnly();
    void openingANewNameCreatesAnEmptyList();
    void openingShowsTheItems();
    void cancelledDialogsChangeNothing();
    void commandsDoNothingWhileClosed();
    void addStoresPlayToEndWhateverTheLengthFields();
    void addWithTimedZeroLengthIsRefusedAndStaysAdding();
    void addWithoutSoundFileStaysAdding();
    void enterPressesTheDefaultButton();
    void addedNameIsCutInTheGridThenInTheFile();
    void gridClickTakesTheItemIntoTheFields();
    void modifyStoresZeroTimedLengthAsPlayToEnd();
    void deleteTheLastItemLeavesAnEmptyFile();
    void abandonWritesNothing();
    void sortAndSaveOrdersByStartTime();
    void saveAsWritesSortedUnderTheNewName();
    void saveAsWithAnEmptyGridWritesNothing();
    void closePutsTheListIntoTodaysGrid();
    void closeOfALongListFillsTodaysListToCapacity();
    void soundFileBrowse();
    // Failures
    void openFailureLeavesThePanelClosed();
    void addToAVanishedFileWritesNothing();
    void modifyOfAFileTurnedIntoAFolderWritesNothing();
    void rewriteFailuresKeepFileAndGrid();
    void saveAsFailureKeepsTheOpenFile();
    void closeAfterTheListFileVanished_data();
    void closeAfterTheListFileVanished();
    void unstorablePathsAreRefusedWhereEntered_data();
    void unstorablePathsAreRefusedWhereEntered();
};

void TstScheduleEditor::startsClosedWithHeaderOnly() {
    Fixture f;
    FlexGrid &g = f.grid();
    QCOMPARE(g.Rows(), 1);
    QCOMPARE(row(g, 0), (QStringList{"开播时间", "项目名称", "播放时间", "播放文件"}));
    const int w = g.WidthTwips();
    QVERIFY(qAbs(g.ColWidth(0) - w * 5 / 27) <= 15);
    QVERIFY(qAbs(g.ColWidth(3) - (w - 3 * w * 5 / 27 - 100)) <= 30);
    QCOMPARE(f.editor->state(), State::Closed);
    QCOMPARE(f.editor->Command6->text(), QStringLiteral("打开文件"));
    QVERIFY(!f.editor->Command5->isEnabled());
    QVERIFY(f.editor->Command18->isEnabled() && f.editor->Command12->isEnabled());
    QVERIFY(f.editor->Option3->isChecked());
    QCOMPARE(f.editor->Text13->text(), QStringLiteral("00"));
}

void TstScheduleEditor::openingANewNameCreatesAnEmptyList() {
    Fixture f;
    const QString p = f.path("new.lst");
    f.open(p);
    QCOMPARE(f.env.dialogs->fileRequests.size(), 1);
    const Dialogs::FileRequest r = f.env.dialogs->fileRequests.first();
    QCOMPARE(r.filter, QStringLiteral("*.lst"));
    QCOMPARE(r.initialName, f.env.appDir + "*.lst");
    QCOMPARE(r.defaultExt, QStringLiteral("lst"));
    QVERIFY(QFileInfo::exists(p));
    QCOMPARE(fileBytes(p), QByteArray());
    QCOMPARE(f.grid().Rows(), 1);
    QCOMPARE(f.editor->Text19->text(), p);
    QCOMPARE(f.editor->state(), State::Open);
    QCOMPARE(f.editor->Command6->text(), QStringLiteral("关闭文件"));
    QCOMPARE(f.openChanges->size(), 1);
    QCOMPARE(f.openChanges->first().first().toBool(), true);
}

void TstScheduleEditor::openingShowsTheItems() {
    Fixture f;
    f.openWith("day.lst", {Bell, News});
    FlexGrid &g = f.grid();
    QCOMPARE(g.Rows(), 3);
    QCOMPARE(row(g, 1), (QStringList{"08:00:00", QStringLiteral("上课铃"), QStringLiteral("播完"), "/snd/bell.wav"}));
    QCOMPARE(row(g, 2), (QStringList{"13:00:00", QStringLiteral("新闻"), "0:10:00", "/snd/news.mp3"}));
    QCOMPARE(g.Row(), 0);
}

void TstScheduleEditor::cancelledDialogsChangeNothing() {
    Fixture f;
    f.editor->Command6->click();  // the fake cancels an empty queue
    QCOMPARE(f.editor->state(), State::Closed);
    QVERIFY(f.openChanges->isEmpty());
    f.openWith("day.lst", {Bell});
    f.editor->Text12->setText(QStringLiteral("/keep.wav"));
    f.editor->Command12->click();
    QCOMPARE(f.editor->Text12->text(), QStringLiteral("/keep.wav"));
    f.editor->Command13->click();
    QCOMPARE(f.editor->Text19->text(), f.path("day.lst"));
    QVERIFY(f.env.dialogs->messages.isEmpty());
}

void TstScheduleEditor::commandsDoNothingWhileClosed() {
    Fixture f;
    for (QPushButton *b :
         {f.editor->Command7, f.editor->Command8, f.editor->Command9, f.editor->Command13, f.editor->Command18})
        b->click();
    QCOMPARE(f.editor->state(), State::Closed);
    QCOMPARE(f.editor->Command7->text(), QStringLiteral("添加"));
    QVERIFY(f.env.dialogs->fileRequests.isEmpty());
    QVERIFY(f.env.dialogs->messages.isEmpty());
}

void TstScheduleEditor::addStoresPlayToEndWhateverTheLengthFields() {
    Fixture f;
    f.openWith("day.lst", {News});
    f.editor->Command7->click();
    QCOMPARE(f.editor->state(), State::Adding);
    QCOMPARE(f.editor->Command7->text(), QStringLiteral("OK"));
    QVERIFY(!f.editor->Command6->isEnabled() && !f.editor->Command8->isEnabled() && !f.editor->Command9->isEnabled());
    QVERIFY(!f.editor->Command13->isEnabled() && f.editor->Command5->isEnabled() && f.editor->MSFlexGrid2->isEnabled());
    QCOMPARE(f.editor->defaultButton(), f.editor->Command7);
    f.setFields(QStringLiteral("上课铃"), "/snd/bell.wav", 8 * 3600, true, 45);
    f.editor->Command7->click();
    QCOMPARE(fileBytes(f.path("day.lst")), records({News, Bell}));  // appended, not sorted in
    QCOMPARE(row(f.grid(), 2),
             (QStringList{"08:00:00", QStringLiteral("上课铃"), QStringLiteral("播完"), "/snd/bell.wav"}));
    QCOMPARE(f.editor->state(), State::Open);
    QCOMPARE(f.editor->Command7->text(), QStringLiteral("添加"));
    QVERIFY(f.editor->Command6->isEnabled() && !f.editor->Command5->isEnabled());
    // The fields keep their contents: a second add copies the item.
    f.editor->Command7->click();
    f.editor->Command7->click();
    QCOMPARE(fileBytes(f.path("day.lst")), records({News, Bell, Bell}));
}

void TstScheduleEditor::addWithTimedZeroLengthIsRefusedAndStaysAdding() {
    Fixture f;
    f.openWith("day.lst", {});
    f.editor->Command7->click();
    f.setFields("A", "/a.wav", 60, false, 0);
    f.editor->Command7->click();
    QCOMPARE(f.env.dialogs->messages.size(), 1);
    const FakeDialogs::Shown m = f.env.dialogs->messages.first();
    QCOMPARE(m.text, QStringLiteral("时间设置错误！"));
    QCOMPARE(m.icon, Dialogs::Icon::None);
    QCOMPARE(m.title, QStringLiteral("Tollmere3.0"));
    QCOMPARE(f.editor->state(), State::Adding);
    QCOMPARE(fileBytes(f.path("day.lst")), QByteArray());
    f.editor->VScroll6->setValue(30);
    f.editor->Command7->click();
    QCOMPARE(fileBytes(f.path("day.lst")), records({{60, "A", 30, "/a.wav"}}));
    QCOMPARE(row(f.grid(), 1), (QStringList{"00:01:00", "A", "0:00:30", "/a.wav"}));
}

void TstScheduleEditor::addWithoutSoundFileStaysAdding() {
    Fixture f;
    f.openWith("day.lst", {});
    f.editor->Command7->click();
    f.setFields("A", QString(), 60, true, 0);
    f.editor->Command7->click();
    QCOMPARE(f.editor->state(), State::Adding);
    QVERIFY(f.env.dialogs->messages.isEmpty());
    QCOMPARE(fileBytes(f.path("day.lst")), QByteArray());
}

void TstScheduleEditor::enterPressesTheDefaultButton() {
    Fixture f;
    f.openWith("day.lst", {});
    f.editor->Command7->click();
    f.setFields("A", "/a.wav", 0, true, 0);
    QTest::keyClick(f.editor->Text11, Qt::Key_Return);
    QCOMPARE(f.editor->state(), State::Open);
    QCOMPARE(fileBytes(f.path("day.lst")), records({{0, "A", 0, "/a.wav"}}));
    QCOMPARE(row(f.grid(), 1).first(), QStringLiteral("00:00:00"));
    // Command7 stays the default button after the add, so Enter starts the next one.
    QTest::keyClick(f.editor->Text11, Qt::Key_Return);
    QCOMPARE(f.editor->state(), State::Adding);
    // Enter on a button with the focus presses that button: "放弃" gives the add up.
    f.window.show();
    f.editor->Command5->setFocus();
    QTest::keyClick(f.editor->Command5, Qt::Key_Return);
    QCOMPARE(f.editor->state(), State::Open);
    QCOMPARE(fileBytes(f.path("day.lst")), records({{0, "A", 0, "/a.wav"}}));
}

void TstScheduleEditor::addedNameIsCutInTheGridThenInTheFile() {
    Fixture f;
    f.openWith("day.lst", {});
    const QString name = QStringLiteral("一二三四五六七八九十甲乙丙丁戊己庚辛壬癸子");  // 21 characters
    f.editor->Command7->click();
    f.setFields(name, "/a.wav", 0, true, 0);
    f.editor->Command7->click();
    QCOMPARE(f.grid().TextMatrix(1, 1), name.left(20));
    f.editor->Command18->click();  // reloads from the file: 20 bytes hold 10 characters
    QCOMPARE(f.grid().TextMatrix(1, 1), name.left(10));
}

void TstScheduleEditor::gridClickTakesTheItemIntoTheFields() {
    Fixture f;
    f.openWith("day.lst", {Bell, {45296, "B", 3723, "/b.mp3"}});
    f.editor->LengthEntry->setTime(0, 7, 0);
    f.clickRow(2);
    QCOMPARE(f.grid().Row(), 2);
    QCOMPARE(f.editor->Text11->text(), QStringLiteral("B"));
    QCOMPARE(f.editor->Text12->text(), QStringLiteral("/b.mp3"));
    QCOMPARE(f.editor->StartEntry->composedText(), QStringLiteral("12:34:56"));
    QCOMPARE(f.editor->VScroll3->value(), 56);
    QVERIFY(f.editor->Option4->isChecked());
    QCOMPARE(f.editor->LengthEntry->composedText(), QStringLiteral("01:02:03"));
    f.clickRow(1);
    QVERIFY(f.editor->Option3->isChecked());
    QCOMPARE(f.editor->LengthEntry->composedText(), QStringLiteral("00:00:00"));
    QCOMPARE(f.editor->VScroll5->value(), 2);  // the boxes only: the spinners keep their values
    QCOMPARE(f.editor->StartEntry->composedText(), QStringLiteral("08:00:00"));
}

void TstScheduleEditor::modifyStoresZeroTimedLengthAsPlayToEnd() {
    Fixture f;
    f.openWith("day.lst", {Bell, News});
    f.editor->Command8->click();  // nothing selected
    QCOMPARE(f.editor->state(), State::Open);
    f.clickRow(2);
    f.editor->Command8->click();
    QCOMPARE(f.editor->state(), State::Modifying);
    QVERIFY(!f.editor->MSFlexGrid2->isEnabled() && !f.editor->Command7->isEnabled());
    QCOMPARE(f.editor->defaultButton(), f.editor->Command8);
    f.editor->Option4->setChecked(true);
    f.editor->LengthEntry->setTime(0, 0, 0);
    f.editor->Text12->clear();  // modify has no checks
    f.editor->Command8->click();
    QVERIFY(f.env.dialogs->messages.isEmpty());
    const ScheduleItem changed{13 * 3600, QStringLiteral("新闻"), 0, QString()};
    QCOMPARE(fileBytes(f.path("day.lst")), records({Bell, changed}));
    QCOMPARE(row(f.grid(), 2), (QStringList{"13:00:00", QStringLiteral("新闻"), QStringLiteral("播完"), ""}));
    QCOMPARE(f.editor->state(), State::Open);
    QVERIFY(f.editor->MSFlexGrid2->isEnabled());
}

void TstScheduleEditor::deleteTheLastItemLeavesAnEmptyFile() {
    Fixture f;
    f.openWith("day.lst", {Bell, News, Drill});
    f.clickRow(2);
    f.editor->Command9->click();
    QCOMPARE(f.editor->state(), State::Deleting);
    QCOMPARE(f.editor->Command9->text(), QStringLiteral("OK"));
    QVERIFY(!f.editor->MSFlexGrid2->isEnabled() && !f.editor->Command6->isEnabled());
    f.editor->Command9->click();
    QCOMPARE(fileBytes(f.path("day.lst")), records({Bell, Drill}));
    QCOMPARE(f.grid().Rows(), 3);
    QCOMPARE(f.grid().Row(), 0);
    QCOMPARE(f.editor->state(), State::Open);
    for (int left = 2; left >= 1; --left) {
        f.clickRow(1);
        f.editor->Command9->click();
        f.editor->Command9->click();
    }
    QCOMPARE(fileBytes(f.path("day.lst")), QByteArray());
    QCOMPARE(f.grid().Rows(), 1);
}

void TstScheduleEditor::abandonWritesNothing() {
    Fixture f;
    f.openWith("day.lst", {Bell, News});
    f.clickRow(1);
    f.editor->Command9->click();
    f.editor->Command5->click();
    QCOMPARE(f.editor->state(), State::Open);
    QCOMPARE(f.editor->Command9->text(), QStringLiteral("删除"));
    QVERIFY(f.editor->MSFlexGrid2->isEnabled() && !f.editor->Command5->isEnabled());
    f.editor->Command8->click();
    f.editor->Text11->setText("X");
    f.editor->Command5->click();
    QCOMPARE(f.editor->Text11->text(), QStringLiteral("X"));
    QCOMPARE(fileBytes(f.path("day.lst")), records({Bell, News}));
}

void TstScheduleEditor::sortAndSaveOrdersByStartTime() {
    Fixture f;
    const ScheduleItem second{8 * 3600 + 300, "second", 0, "/2.wav"};
    const ScheduleItem third{8 * 3600 + 300, "third", 0, "/3.wav"};
    f.openWith("day.lst", {News, second, third});
    f.editor->Command18->click();
    QCOMPARE(fileBytes(f.path("day.lst")), records({second, third, News}));
    QCOMPARE(f.grid().TextMatrix(3, 1), QStringLiteral("新闻"));
    QCOMPARE(f.grid().Row(), 0);
    QCOMPARE(f.editor->state(), State::Open);
}

void TstScheduleEditor::saveAsWritesSortedUnderTheNewName() {
    Fixture f;
    f.openWith("day.lst", {News, Bell});
    f.env.dialogs->chosenFiles.enqueue(f.path("copy.lst"));
    f.editor->Command13->click();
    const Dialogs::FileRequest r = f.env.dialogs->fileRequests.last();
    QCOMPARE(r.filter, QStringLiteral("*.lst"));
    QCOMPARE(r.initialName, f.env.appDir + "*.lst");
    QCOMPARE(r.defaultExt, QStringLiteral("lst"));
    QCOMPARE(fileBytes(f.path("copy.lst")), records({Bell, News}));
    QCOMPARE(fileBytes(f.path("day.lst")), records({News, Bell}));
    QCOMPARE(f.editor->Text19->text(), f.path("copy.lst"));
    QCOMPARE(f.grid().TextMatrix(1, 1), QStringLiteral("上课铃"));
}

void TstScheduleEditor::saveAsWithAnEmptyGridWritesNothing() {
    Fixture f;
    f.openWith("day.lst", {});
    f.env.dialogs->chosenFiles.enqueue(f.path("copy.lst"));
    f.editor->Command13->click();
    QVERIFY(!QFileInfo::exists(f.path("copy.lst")));
    QCOMPARE(f.editor->Text19->text(), f.path("day.lst"));
}

void TstScheduleEditor::closePutsTheListIntoTodaysGrid() {
    Fixture f;
    f.todayList.path = QStringLiteral("/lists/monday.lst");
    f.today.setRows(4);
    for (int r = 1; r <= 3; ++r)
        f.today.setTextMatrix(r, 0, todaygrid::playedMark());
    f.openWith("other.lst", {Bell, News});
    f.editor->Command6->click();
    QCOMPARE(f.today.Rows(), 3);
    QCOMPARE(f.today.TextMatrix(1, 0), QString());
    QCOMPARE(f.today.TextMatrix(2, 0), QString());
    QCOMPARE(f.today.TextMatrix(1, 1), QStringLiteral("8:00:00"));
    QCOMPARE(f.today.TextMatrix(2, 3), QStringLiteral("0:10:00"));
    QCOMPARE(f.todayList.count(), 2);
    QCOMPARE(f.todayList.item(2)->SoundFile, QStringLiteral("/snd/news.mp3"));
    QCOMPARE(f.todayList.path, QStringLiteral("/lists/monday.lst"));
    QCOMPARE(f.editor->state(), State::Closed);
    QCOMPARE(f.editor->Command6->text(), QStringLiteral("打开文件"));
    QCOMPARE(f.editor->Text19->text(), QString());
    QCOMPARE(f.grid().Rows(), 1);
    QCOMPARE(f.openChanges->size(), 2);
    QCOMPARE(f.openChanges->last().first().toBool(), false);
    QVERIFY(f.env.dialogs->messages.isEmpty());
}

void TstScheduleEditor::closeOfALongListFillsTodaysListToCapacity() {
    Fixture f;
    QList<ScheduleItem> items;
    for (int i = 0; i < 1200; ++i)
        items.append({i * 60, QString::number(i), 0, "/a.wav"});
    f.openWith("long.lst", items);
    QCOMPARE(f.grid().Rows(), 1201);
    f.editor->Command6->click();
    QCOMPARE(f.editor->state(), State::Closed);
    QCOMPARE(f.todayList.count(), TodayList::Capacity);
    QCOMPARE(f.today.Rows(), TodayList::Capacity + 1);
    QCOMPARE(f.today.TextMatrix(1000, 2), QStringLiteral("999"));
    QCOMPARE(f.env.dialogs->messages.size(), 1);
    QCOMPARE(f.env.dialogs->messages.first().icon, Dialogs::Icon::Information);
    QVERIFY(f.lastMessage().contains("1200"));
}

void TstScheduleEditor::soundFileBrowse() {
    Fixture f;
    f.open(f.path("day.lst"));
    f.env.dialogs->chosenFiles.enqueue(QStringLiteral("/music/song.mp3"));
    f.editor->Command12->click();
    QCOMPARE(f.editor->Text12->text(), QStringLiteral("/music/song.mp3"));
    const Dialogs::FileRequest r = f.env.dialogs->fileRequests.last();
    QCOMPARE(r.filter, QStringLiteral("*.wav|*.wav|*.mid|*.mid|*.mp3|*.mp3|*.mid;*.wav;*.mp3|*.mid;*.wav;*.mp3"));
    QCOMPARE(r.initialName, f.path("day.lst"));  // kept from the last use of the dialog
    f.editor->Command12->click();
    QCOMPARE(f.env.dialogs->fileRequests.last().initialName, QStringLiteral("/music/song.mp3"));
}

void TstScheduleEditor::openFailureLeavesThePanelClosed() {
    Fixture f;
    const QString p = f.path("gone/day.lst");
    f.open(p);
    QCOMPARE(f.env.dialogs->messages.size(), 1);
    QCOMPARE(f.env.dialogs->messages.first().icon, Dialogs::Icon::Critical);
    QCOMPARE(f.env.dialogs->messages.first().title, QStringLiteral("Tollmere3.0"));
    QVERIFY(f.lastMessage().contains(p));
    QCOMPARE(f.editor->state(), State::Closed);
    QCOMPARE(f.editor->Text19->text(), QString());
    QVERIFY(f.openChanges->isEmpty());
    f.open(f.path("day.lst"));  // and the user goes on
    QCOMPARE(f.editor->state(), State::Open);
}

void TstScheduleEditor::addToAVanishedFileWritesNothing() {
    Fixture f;
    f.openWith("day.lst", {Bell, News});
    QFile::remove(f.path("day.lst"));
    f.editor->Command7->click();
    f.setFields("A", "/a.wav", 0, true, 0);
    f.editor->Command7->click();
    QVERIFY(!QFileInfo::exists(f.path("day.lst")));
    QVERIFY(f.lastMessage().contains(f.path("day.lst")));
    QCOMPARE(f.editor->state(), State::Adding);
    QCOMPARE(f.grid().Rows(), 3);
    // The grid still holds the list: abandon, then sort-and-save writes it back.
    f.editor->Command5->click();
    f.editor->Command18->click();
    QCOMPARE(fileBytes(f.path("day.lst")), records({Bell, News}));
}

void TstScheduleEditor::modifyOfAFileTurnedIntoAFolderWritesNothing() {
    Fixture f;
    f.openWith("day.lst", {Bell});
    f.clickRow(1);
    QVERIFY(QFile::remove(f.path("day.lst")));
    QVERIFY(QDir(f.env.dir.path()).mkdir("day.lst"));
    f.editor->Command8->click();
    f.editor->Text11->setText("X");
    f.editor->Command8->click();
    QCOMPARE(f.env.dialogs->messages.size(), 1);
    QVERIFY(f.lastMessage().contains(f.path("day.lst")));
    QCOMPARE(f.editor->state(), State::Modifying);
    QCOMPARE(f.grid().TextMatrix(1, 1), QStringLiteral("上课铃"));
    f.editor->Command5->click();
    QCOMPARE(f.editor->state(), State::Open);
}

void TstScheduleEditor::rewriteFailuresKeepFileAndGrid() {
    Fixture f;
    QVERIFY(QDir(f.env.dir.path()).mkdir("sub"));
    f.openWith("sub/day.lst", {News, Bell, Drill});
    QVERIFY(QDir(f.path("sub")).removeRecursively());
    // Sort and save: the folder is gone.
    f.editor->Command18->click();
    QCOMPARE(f.env.dialogs->messages.size(), 1);
    QCOMPARE(f.env.dialogs->messages.first().icon, Dialogs::Icon::Critical);
    QVERIFY(f.lastMessage().contains(f.path("sub/day.lst")));
    QCOMPARE(f.grid().TextMatrix(1, 1), QStringLiteral("新闻"));
    QCOMPARE(f.editor->state(), State::Open);
    // Delete: stays deleting with the grid as it was, so the user can retry or abandon.
    f.clickRow(2);
    f.editor->Command9->click();
    f.editor->Command9->click();
    QCOMPARE(f.env.dialogs->messages.size(), 2);
    QCOMPARE(f.editor->state(), State::Deleting);
    QCOMPARE(f.grid().Rows(), 4);
    // Once the folder is back, the same OK succeeds.
    QVERIFY(QDir(f.env.dir.path()).mkdir("sub"));
    f.editor->Command9->click();
    QCOMPARE(fileBytes(f.path("sub/day.lst")), records({News, Drill}));
    QCOMPARE(f.editor->state(), State::Open);
}

void TstScheduleEditor::saveAsFailureKeepsTheOpenFile() {
    Fixture f;
    f.openWith("day.lst", {News, Bell});
    QVERIFY(QDir(f.env.dir.path()).mkdir("taken.lst"));
    f.env.dialogs->chosenFiles.enqueue(f.path("taken.lst"));
    f.editor->Command13->click();
    QCOMPARE(f.env.dialogs->messages.size(), 1);
    QVERIFY(f.lastMessage().contains(f.path("taken.lst")));
    QVERIFY(QFileInfo(f.path("taken.lst")).isDir());
    QCOMPARE(f.editor->Text19->text(), f.path("day.lst"));
    QCOMPARE(fileBytes(f.path("day.lst")), records({News, Bell}));
    QCOMPARE(f.grid().TextMatrix(1, 1), QStringLiteral("新闻"));
}

void TstScheduleEditor::closeAfterTheListFileVanished_data() {
    QTest::addColumn<bool>("folderToo");
    QTest::addColumn<bool>("closeAnyway");  // the answer to the warning
    QTest::newRow("file removed, keep editing") << false << false;
    QTest::newRow("file removed, close anyway") << false << true;
    QTest::newRow("folder removed, close anyway") << true << true;
}

void TstScheduleEditor::closeAfterTheListFileVanished() {
    QFETCH(bool, folderToo);
    QFETCH(bool, closeAnyway);
    Fixture f;
    f.todayList.path = QStringLiteral("/lists/monday.lst");
    todaygrid::show(f.today, f.todayList, {Drill});
    f.today.setTextMatrix(1, 0, todaygrid::playedMark());
    QVERIFY(QDir(f.env.dir.path()).mkdir("sub"));
    f.openWith("sub/day.lst", {Bell, News});
    QVERIFY(folderToo ? QDir(f.path("sub")).removeRecursively() : QFile::remove(f.path("sub/day.lst")));
    f.env.dialogs->answers.enqueue(closeAnyway ? Dialogs::Answer::Yes : Dialogs::Answer::No);
    f.editor->Command6->click();
    QCOMPARE(f.env.dialogs->messages.size(), 1);
    QVERIFY(f.lastMessage().contains(f.path("sub/day.lst")));
    QCOMPARE(f.env.dialogs->messages.last().buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(f.env.dialogs->messages.last().defaultAnswer, Dialogs::Answer::No);
    QVERIFY(!QFileInfo::exists(f.path("sub/day.lst")));  // no empty list left behind
    QCOMPARE(f.todayList.count(), 1);                    // today's list as it was
    QCOMPARE(f.today.TextMatrix(1, 2), QStringLiteral("早操"));
    QVERIFY(todaygrid::isMarked(f.today, 1));
    QCOMPARE(f.editor->state(), closeAnyway ? State::Closed : State::Open);
    QCOMPARE(f.openChanges->last().first().toBool(), !closeAnyway);
    QCOMPARE(f.grid().Rows(), closeAnyway ? 1 : 3);
    if (!closeAnyway) {  // the list is still there to be saved
        f.editor->Command18->click();
        QCOMPARE(fileBytes(f.path("sub/day.lst")), records({Bell, News}));
    }
}

QTEST_MAIN(TstScheduleEditor)
#include "tst_scheduleeditor.moc"

// A sound path the list file cannot keep, or a list path the weekday setting cannot keep, is
// refused where it is entered, saying why, and nothing is written; one that just fits is taken.
void TstScheduleEditor::unstorablePathsAreRefusedWhereEntered_data() {
    QTest::addColumn<QString>("entry");  // browse, add, modify: a sound file; open, saveAs: a list file
    QTest::addColumn<int>("bytes");      // the whole path's length in GBK; 0: as it stands
    QTest::addColumn<QString>("tail");   // after "/snd/" or the test's folder
    QTest::addColumn<QString>("why");    // empty: taken
    QTest::newRow("browse, 100 bytes") << "browse" << 100 << "a.wav"
                                       << "";
    QTest::newRow("browse, 101 bytes") << "browse" << 101 << "a.wav"
                                       << "长 101 字节";
    QTest::newRow("add, Chinese counts two") << "add" << 101 << "上课铃.wav"
                                             << "长 101 字节";
    QTest::newRow("add, ß") << "add" << 0 << "Straße.wav"
                            << "ß";
    QTest::newRow("modify, Hangul") << "modify" << 0 << "종소리.wav"
                                    << "종 소 리";
    QTest::newRow("open, 100 bytes") << "open" << 100 << "a.lst"
                                     << "";
    QTest::newRow("open, 101 bytes") << "open" << 101 << "a.lst"
                                     << "长 101 字节";
    QTest::newRow("save as, emoji") << "saveAs" << 0 << "🔔.lst"
                                    << "🔔";
}

void TstScheduleEditor::unstorablePathsAreRefusedWhereEntered() {
    QFETCH(QString, entry);
    QFETCH(int, bytes);
    QFETCH(QString, tail);
    QFETCH(QString, why);
    Fixture f;
    const bool listPath = entry == "open" || entry == "saveAs";
    const QString head = listPath ? f.env.appDir : QStringLiteral("/snd/");
    const QString path = bytes ? pathOfBytes(head, bytes, tail) : head + tail;
    if (entry != "open")
        f.openWith("day.lst", {Bell});
    const QByteArray before = fileBytes(f.path("day.lst"));
    QPushButton *command = entry == "add" ? f.editor->Command7 : f.editor->Command8;
    if (entry == "browse" || entry == "open" || entry == "saveAs") {
        f.env.dialogs->chosenFiles.enqueue(path);
        (entry == "browse" ? f.editor->Command12 : entry == "open" ? f.editor->Command6 : f.editor->Command13)->click();
    } else {
        if (entry == "modify")
            f.clickRow(1);
        command->click();
        f.setFields(QStringLiteral("铃"), path, 9 * 3600, true, 0);
        command->click();
    }
    QLineEdit *field = listPath ? f.editor->Text19 : f.editor->Text12;
    if (why.isEmpty()) {
        QVERIFY(f.env.dialogs->messages.isEmpty());
        QCOMPARE(field->text(), path);
        return;
    }
    QCOMPARE(f.env.dialogs->messages.size(), 1);
    const FakeDialogs::Shown &shown = f.env.dialogs->messages[0];
    QVERIFY2(shown.text.contains(path) && shown.text.contains(why), qPrintable(shown.text));
    QCOMPARE(shown.title, QStringLiteral("Tollmere3.0"));
    QCOMPARE(fileBytes(f.path("day.lst")), before);
    QVERIFY(!QFile::exists(path));
    // A typed path stays for the operator to mend, and the command waits for OK again.
    QCOMPARE(field->text(), entry == "add" || entry == "modify" ? path : entry == "saveAs" ? f.path("day.lst") : "");
    QCOMPARE(f.editor->state(), entry == "add"      ? State::Adding
                                : entry == "modify" ? State::Modifying
                                : entry == "open"   ? State::Closed
                                                    : State::Open);
}
