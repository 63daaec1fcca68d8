// The weekday panel driven by its buttons: mode greying, browsing, LstCfg.Cfg bytes, window heights.
#include "editor/weekdaypanel.h"
#include "support/panelenv.h"
#include "support/testfiles.h"
#include "ui/twips.h"

#include <QDir>
#include <QScreen>
#include <QtTest>

namespace {

// A 100-byte path field of ASCII text.
QByteArray field(const QByteArray &text) { return text + QByteArray(100 - text.size(), ' '); }

QByteArray fileBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

}  // namespace

class TstWeekdayPanel : public QObject {
    Q_OBJECT
private slots:
    void modeGreysOutTheOtherRows();
    void browseFillsTheRowsText_data();
    void browseFillsTheRowsText();
    void cancelledBrowseChangesNothing();
    void saveWritesAllEightPathsInEveryDayMode();
    void saveReplacesALongerFile();
    void saveFailureKeepsSaveEnabled();
    void heightButtonsCentreTheWindow();
    void unstorablePathsAreRefused_data();
    void unstorablePathsAreRefused();
};

void TstWeekdayPanel::modeGreysOutTheOtherRows() {
    PanelEnv env;
    WeekdayPanel p(*env.dialogs, env.commonDialog, env.appDir);
    p.loadConfig();
    QVERIFY(p.Option2->isChecked() && !p.Command11->isEnabled());
    QVERIFY(!p.Text23->isEnabled() && !p.Label22->isEnabled() && !p.Command10[8]->isEnabled());
    QTest::mouseClick(p.Option1, Qt::LeftButton);
    QVERIFY(p.Option1->isChecked());
    for (QWidget *w :
         std::initializer_list<QWidget *>{p.Text4, p.Text10, p.Label3, p.Label9, p.Command10[1], p.Command10[7]})
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(p.Text23->isEnabled() && p.Label22->isEnabled() && p.Command10[8]->isEnabled());
    QVERIFY(p.Command11->isEnabled());
    p.Command11->setEnabled(false);
    QTest::mouseClick(p.Option2, Qt::LeftButton);
    QVERIFY(p.Text7->isEnabled() && p.Command10[4]->isEnabled() && !p.Text23->isEnabled());
    QVERIFY(p.Command11->isEnabled());
}

void TstWeekdayPanel::browseFillsTheRowsText_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::newRow("Sunday") << 1 << "Text4";
    QTest::newRow("Wednesday") << 4 << "Text7";
    QTest::newRow("Saturday") << 7 << "Text10";
    QTest::newRow("every day") << 8 << "Text23";
}

void TstWeekdayPanel::browseFillsTheRowsText() {
    QFETCH(int, index);
    QFETCH(QString, text);
    PanelEnv env;
    WeekdayPanel p(*env.dialogs, env.commonDialog, env.appDir);
    p.loadConfig();
    if (index == 8)
        p.Option1->click();
    p.Command11->setEnabled(false);
    env.dialogs->chosenFiles.enqueue(QStringLiteral("/lists/wed.lst"));
    p.Command10[index]->click();
    QCOMPARE(p.findChild<QLineEdit *>(text)->text(), QStringLiteral("/lists/wed.lst"));
    QVERIFY(p.Command11->isEnabled());
    const Dialogs::FileRequest r = env.dialogs->fileRequests.first();
    QCOMPARE(r.filter, QStringLiteral("*.lst"));
    QCOMPARE(r.initialName, env.appDir + "*.lst");
    QCOMPARE(r.defaultExt, QStringLiteral(".lst"));
    QVERIFY(!QFileInfo::exists("/lists/wed.lst"));  // browsing neither creates nor reads
}

void TstWeekdayPanel::cancelledBrowseChangesNothing() {
    PanelEnv env;
    WeekdayPanel p(*env.dialogs, env.commonDialog, env.appDir);
    p.loadConfig();
    p.Text7->setText("/keep.lst");
    p.Command11->setEnabled(false);
    p.Command10[4]->click();
    QCOMPARE(p.Text7->text(), QStringLiteral("/keep.lst"));
    QVERIFY(!p.Command11->isEnabled());
}

void TstWeekdayPanel::saveWritesAllEightPathsInEveryDayMode() {
    PanelEnv env;
    WeekdayPanel p(*env.dialogs, env.commonDialog, env.appDir);
    p.loadConfig();
    QByteArray expected("\xFF\xFF", 2);
    const QList<QLineEdit *> texts = {p.Text4, p.Text5, p.Text6, p.Text7, p.Text8, p.Text9, p.Text10};
    for (int d = 0; d < 7; ++d) {
        const QByteArray path = "/lists/day" + QByteArray::number(d) + ".lst";
        texts[d]->setText(QString::fromLatin1(path));
        expected += field(path);
    }
    p.Text23->setText("/lists/all.lst");
    expected += field("/lists/all.lst");
    p.Option1->click();
    p.Command11->click();
    QCOMPARE(fileBytes(env.path("LstCfg.Cfg")), expected);
    QVERIFY(!p.Command11->isEnabled());
    QVERIFY(env.dialogs->messages.isEmpty());
    // Read back at the next start, the weekday paths are all there.
    WeekdayPanel again(*env.dialogs, env.commonDialog, env.appDir);
    again.loadConfig();
    QVERIFY(again.Option1->isChecked());
    QCOMPARE(again.Text9->text(), QStringLiteral("/lists/day5.lst"));
}

void TstWeekdayPanel::saveReplacesALongerFile() {
    PanelEnv env;
    {
        QFile f(env.path("LstCfg.Cfg"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(900, 'x'));
    }
    WeekdayPanel p(*env.dialogs, env.commonDialog, env.appDir);
    p.loadConfig();
    p.Text5->setText(QStringLiteral("/星期一.lst"));
    p.Option2->click();
    p.Command11->click();
    const QByteArray bytes = fileBytes(env.path("LstCfg.Cfg"));
    QCOMPARE(bytes.size(), 802);
    QCOMPARE(bytes.left(2), QByteArray(2, '\0'));
    QCOMPARE(bytes.mid(102, 13), QByteArray("/\xD0\xC7\xC6\xDA\xD2\xBB.lst  "));
}

void TstWeekdayPanel::saveFailureKeepsSaveEnabled() {
    PanelEnv env;
    QVERIFY(QDir(env.dir.path()).mkdir("LstCfg.Cfg"));
    WeekdayPanel p(*env.dialogs, env.commonDialog, env.appDir);
    p.Text4->setText("/a.lst");
    p.Command11->click();
    QCOMPARE(env.dialogs->messages.size(), 1);
    const FakeDialogs::Shown m = env.dialogs->messages.first();
    QCOMPARE(m.icon, Dialogs::Icon::Critical);
    QCOMPARE(m.title, QStringLiteral("Tollmere3.0"));
    QVERIFY(m.text.contains(env.path("LstCfg.Cfg")));
    QVERIFY(p.Command11->isEnabled());
    QVERIFY(QFileInfo(env.path("LstCfg.Cfg")).isDir());
}

void TstWeekdayPanel::heightButtonsCentreTheWindow() {
    PanelEnv env;
    QWidget window;
    auto *p = new WeekdayPanel(*env.dialogs, env.commonDialog, env.appDir, &window);
    window.resize(700, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect screen = window.screen()->geometry();
    p->Command3->click();
    QCOMPARE(window.height(), twipsToPixels(3240));
    p->Command4->click();
    QCOMPARE(window.height(), twipsToPixels(9150));
    QCOMPARE(window.y(), screen.top() + (screen.height() - twipsToPixels(9150)) / 2);
}

// A list path LstCfg.Cfg cannot keep is refused when browsed, and a typed one when saving,
// saying why and for which day; one that just fits reads back at the next start as entered.
void TstWeekdayPanel::unstorablePathsAreRefused_data() {
    QTest::addColumn<bool>("typed");
    QTest::addColumn<int>("bytes");  // the whole path's length in GBK; 0: as it stands
    QTest::addColumn<QString>("tail");
    QTest::addColumn<QString>("why");  // empty: taken
    QTest::newRow("browsed, 100 bytes") << false << 100 << "一.lst"
                                        << "";
    QTest::newRow("browsed, 101 bytes") << false << 101 << "a.lst"
                                        << "长 101 字节";
    QTest::newRow("typed, 100 bytes of Chinese") << true << 100 << "周一.lst"
                                                 << "";
    QTest::newRow("typed, 101 bytes of Chinese") << true << 101 << "周一.lst"
                                                 << "长 101 字节";
    QTest::newRow("typed, ß") << true << 0 << "Straße.lst"
                              << "ß";
}

void TstWeekdayPanel::unstorablePathsAreRefused() {
    QFETCH(bool, typed);
    QFETCH(int, bytes);
    QFETCH(QString, tail);
    QFETCH(QString, why);
    PanelEnv env;
    WeekdayPanel p(*env.dialogs, env.commonDialog, env.appDir);
    p.loadConfig();
    const QString head = QStringLiteral("/课表/");
    const QString path = bytes ? pathOfBytes(head, bytes, tail) : head + tail;
    if (typed) {
        p.Text5->setText(path);
    } else {
        env.dialogs->chosenFiles.enqueue(path);
        p.Command10[2]->click();
    }
    p.Command11->click();
    WeekdayPanel again(*env.dialogs, env.commonDialog, env.appDir);
    again.loadConfig();
    if (why.isEmpty()) {
        QVERIFY(env.dialogs->messages.isEmpty());
        QCOMPARE(again.Text5->text(), path);
        return;
    }
    QCOMPARE(env.dialogs->messages.size(), 1);
    const QString text = env.dialogs->messages[0].text;
    QVERIFY2(text.contains(path) && text.contains(why) && (!typed || text.contains("星期一")), qPrintable(text));
    QCOMPARE(p.Text5->text(), typed ? path : QString());  // a typed path stays for the operator to mend
    QCOMPARE(p.Command11->isEnabled(), typed);            // and nothing was saved
    QCOMPARE(again.Text5->text(), QString());
}

QTEST_MAIN(TstWeekdayPanel)
#include "tst_weekdaypanel.moc"
