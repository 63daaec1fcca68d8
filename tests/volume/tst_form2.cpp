// Form2: start-up ranges, the sliders' volumes, Volume.cfg, closing, the marquee and dragging.
#include "support/panelenv.h"
#include "volume/form2.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

QByteArray readBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QList<int> positions(const Form2 &form) {
    QList<int> out{form.Slider1->value()};
    for (Slider *s : form.Slider2)
        out << s->value();
    return out;
}

struct Rig {
    PanelEnv env;
    QString appDir;  // the temporary folder, or a folder inside it
    clsVolume volume{env.mixer, env.dialogs};
    Form2 form;
    explicit Rig(const QString &subfolder = QString())
        : appDir(subfolder.isEmpty() ? env.appDir : env.path(subfolder)),
          form(*env.clock, *env.dialogs, appDir, volume) {}
    QString cfg() const { return env.path(QStringLiteral("Volume.cfg")); }
};

void sendMouse(QWidget *w, QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(w->mapFromGlobal(global)), QPointF(global), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

}  // namespace

class TstForm2 : public QObject {
    Q_OBJECT
private slots:
    void controlsAsDesigned() {
        Rig r;
        Form2 &f = r.form;
        QCOMPARE(f.objectName(), QStringLiteral("Form2"));
        QCOMPARE(f.windowTitle(), QStringLiteral("Tollmere"));
        QVERIFY(f.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(f.size(), QSize(696, 217));
        QVERIFY(!f.isVisible());
        QCOMPARE(f.Frame2->title(), QStringLiteral("定时播报音量"));
        QCOMPARE(f.Frame1->title(), QStringLiteral("随机播放音量"));
        QCOMPARE(f.Command11->text(), QStringLiteral("保存"));
        QVERIFY(!f.Command11->isEnabled());
        QCOMPARE(f.Command1->text(), QStringLiteral("关闭"));
        QCOMPARE(f.findChild<Slider *>(QStringLiteral("Slider2(11)")), f.Slider2[11]);
        QCOMPARE(f.Label1[0]->text().remove(QLatin1Char('\n')), QStringLiteral("第一组"));
        QCOMPARE(f.Label1[11]->text().remove(QLatin1Char('\n')), QStringLiteral("第十二组"));
        QCOMPARE(f.Label1[12]->text(), QStringLiteral("MAX"));
        QCOMPARE(f.Label1[17]->text(), QStringLiteral("MIN"));
        // Vertical, minimum at the top.
        QCOMPARE(f.Slider1->orientation(), Qt::Vertical);
        QVERIFY(f.Slider1->invertedAppearance());
        QCOMPARE(f.Slider1->y() + 5 < f.Label1[13]->y(), true);
    }

    void startUpTakesTheMixerRanges_data() {
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("speakerMax");
        QTest::addColumn<bool>("micPresent");
        QTest::addColumn<int>("slider1Max");
        QTest::addColumn<int>("slider2Max");
        QTest::addColumn<QList<long>>("writes");
        QTest::addColumn<int>("messages");
        QTest::newRow("usual card") << true << 65535 << true << 32767 << 32767 << QList<long>{16383} << 0;
        QTest::newRow("pulse") << true << 65536 << true << 32768 << 32768 << QList<long>{16384} << 0;
        QTest::newRow("no microphone line: the speaker's")
            << true << 65536 << false << 32768 << 32768 << QList<long>{16384} << 0;
        QTest::newRow("no controls at all: design ranges")
            << true << 0 << false << 32767 << 32767 << QList<long>{} << 0;
        QTest::newRow("no mixer: design ranges") << false << 65535 << true << 32767 << 32767 << QList<long>{} << 1;
    }
    void startUpTakesTheMixerRanges() {
        QFETCH(bool, opens);
        QFETCH(int, speakerMax);
        QFETCH(bool, micPresent);
        Rig r;
        r.env.mixer->opens = opens;
        r.env.mixer->speakerLine = {speakerMax > 0, 0, speakerMax};
        r.env.mixer->micLine = {micPresent, 0, micPresent ? speakerMax : 0};
        r.form.startUp();
        QTEST(r.form.Slider1->max(), "slider1Max");
        QCOMPARE(r.form.Slider1->min(), 0);
        for (Slider *s : r.form.Slider2) {
            QTEST(s->max(), "slider2Max");
            QCOMPARE(s->largeChange(), 1000);
            QCOMPARE(s->smallChange(), 1000);
        }
        QCOMPARE(r.form.Slider1->largeChange(), 1000);
        QTEST(r.env.mixer->speakerWrites, "writes");
        QTEST(int(r.env.dialogs->messages.size()), "messages");
        // First run: the file is created empty and nothing counts as changed.
        QVERIFY(QFile::exists(r.cfg()));
        QCOMPARE(readBytes(r.cfg()), QByteArray());
        QVERIFY(!r.form.Command11->isEnabled());
    }

    // Every slider, moved by code as by the user, sends (32767 - position) * 2 to the speaker.
    void sliderChangeSendsItsVolume_data() {
        QTest::addColumn<int>("slider");  // -1 for Slider1, else the group index
        QTest::addColumn<int>("position");
        QTest::addColumn<long>("volume");
        QTest::newRow("Slider1 bottom") << -1 << 32767 << 0L;
        QTest::newRow("Slider1 top") << -1 << 0 << 65534L;
        QTest::newRow("Slider2(0) middle") << 0 << 16000 << 33534L;
        QTest::newRow("Slider2(11) bottom") << 11 << 32767 << 0L;
    }
    void sliderChangeSendsItsVolume() {
        QFETCH(int, slider);
        QFETCH(int, position);
        Rig r;
        r.form.startUp();
        Slider *s = slider < 0 ? r.form.Slider1 : r.form.Slider2[slider];
        s->setValue(position == 0 ? 5000 : 0);  // start elsewhere so the move is a change
        r.env.mixer->speakerWrites.clear();
        r.form.Command11->setEnabled(false);
        s->setValue(position);
        QTEST(r.env.mixer->speakerWrites.value(0), "volume");
        QCOMPARE(r.env.mixer->speakerWrites.size(), 1);
        QTEST(long(r.volume.prSpeakerVolume()), "volume");
        QVERIFY(r.form.Command11->isEnabled());
    }

    void userKeysMoveByTheSteps() {
        Rig r;
        r.form.startUp();
        r.form.Slider1->setValue(5000);
        QTest::keyClick(r.form.Slider1, Qt::Key_Up);  // towards the top: louder
        QCOMPARE(r.form.Slider1->value(), 4000);
        QTest::keyClick(r.form.Slider1, Qt::Key_PageDown);
        QCOMPARE(r.form.Slider1->value(), 5000);
        QCOMPARE(r.env.mixer->speakerWrites.last(), 2L * (32767 - 5000));
    }

    void saveWritesThirteenLinesAndLoadRestoresThem() {
        Rig r;
        r.form.startUp();
        const QList<int> set{100, 0, 1, 32767, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 32766};
        r.form.Slider1->setValue(set[0]);
        for (int k = 0; k < 12; ++k)
            r.form.Slider2[k]->setValue(set[k + 1]);
        QVERIFY(r.form.Command11->isEnabled());
        r.form.Command11->click();
        QVERIFY(!r.form.Command11->isEnabled());
        const QByteArray expected =
            "100\r\n0\r\n1\r\n32767\r\n1000\r\n2000\r\n3000\r\n4000\r\n5000\r\n6000\r\n7000\r\n8000\r\n32766\r\n";
        QCOMPARE(readBytes(r.cfg()), expected);

        // A second dialog over the same folder starts with those positions.
        clsVolume volume2(r.env.mixer, r.env.dialogs);
        Form2 again(*r.env.clock, *r.env.dialogs, r.env.appDir, volume2);
        again.startUp();
        QCOMPARE(positions(again), set);
        QVERIFY(!again.Command11->isEnabled());
        QVERIFY(again.SaveVolume());
        QCOMPARE(readBytes(r.cfg()), expected);
    }

    // Damaged files never fail: missing values leave a slider where it was, positions
    // outside the range are clamped, and the last complete group of thirteen wins.
    void loadCopesWithDamagedFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<int>>("expected");
        const QList<int> before{7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7};
        QTest::newRow("empty") << QByteArray() << before;
        QTest::newRow("two numbers") << QByteArray("100\r\n200\r\n")
                                     << QList<int>{100, 200, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7};
        QTest::newRow("no final line end")
            << QByteArray("100\r\n200") << QList<int>{100, 200, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7};
        QTest::newRow("text among numbers") << QByteArray("abc\r\n200\r\n\r\n1e3\r\n 300 \r\n")
                                            << QList<int>{7, 200, 7, 7, 300, 7, 7, 7, 7, 7, 7, 7, 7};
        QTest::newRow("out of range") << QByteArray("-5\r\n99999\r\n99999999999999999999\r\n-2147483649\r\n")
                                      << QList<int>{0, 32767, 7, 0, 7, 7, 7, 7, 7, 7, 7, 7, 7};
        QTest::newRow("LF only") << QByteArray("1\n2\n3\n") << QList<int>{1, 2, 3, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7};
        QByteArray twoGroups;
        for (int i = 0; i < 13; ++i)
            twoGroups += QByteArray::number(i) + "\r\n";
        for (int i = 0; i < 13; ++i)
            twoGroups += QByteArray::number(1000 + i) + "\r\n";
        QTest::newRow("two groups, the last wins")
            << twoGroups << QList<int>{1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012};
        QByteArray groupAndAHalf = twoGroups.left(twoGroups.indexOf("1002"));
        QTest::newRow("a group and a half")
            << groupAndAHalf << QList<int>{1000, 1001, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe\r\x01", 5) << before;
    }
    void loadCopesWithDamagedFiles() {
        QFETCH(QByteArray, content);
        Rig r;
        r.form.startUp();
        r.form.Slider1->setValue(7);
        for (Slider *s : r.form.Slider2)
            s->setValue(7);
        writeBytes(r.cfg(), content);
        r.form.LoadVolume();
        QTEST(positions(r.form), "expected");
        QVERIFY(!r.form.Command11->isEnabled());
        QCOMPARE(readBytes(r.cfg()), content);  // reading never rewrites the file
    }

    // A save that cannot be written says which file and keeps everything: the old file,
    // the positions and the modified state.
    void failedSaveLosesNothing_data() {
        QTest::addColumn<bool>("folderInTheWay");
        QTest::newRow("AppDir missing") << false;
        QTest::newRow("folder named Volume.cfg") << true;
    }
    void failedSaveLosesNothing() {
        QFETCH(bool, folderInTheWay);
        Rig r(folderInTheWay ? QString() : QStringLiteral("gone/"));
        if (folderInTheWay)
            QVERIFY(QDir(r.env.dir.path()).mkdir(QStringLiteral("Volume.cfg")));
        r.form.startUp();  // the load fails quietly and leaves the positions
        QVERIFY(r.env.dialogs->messages.isEmpty());
        r.form.Slider1->setValue(1234);
        r.form.Command11->click();
        QVERIFY(r.form.Command11->isEnabled());
        QCOMPARE(r.env.dialogs->messages.size(), 1);
        const FakeDialogs::Shown &m = r.env.dialogs->messages.first();
        QVERIFY2(m.text.contains(QDir::toNativeSeparators(r.form.volumeFilePath())), qPrintable(m.text));
        QCOMPARE(m.icon, Dialogs::Icon::Critical);
        QCOMPARE(r.form.Slider1->value(), 1234);
        QCOMPARE(QFileInfo(r.cfg()).isDir(), folderInTheWay);

        // Closing with Yes tries again, fails again and keeps the dialog open.
        r.form.show();
        r.env.dialogs->answers.enqueue(Dialogs::Answer::Yes);
        QSignalSpy closed(&r.form, &Form2::closed);
        r.form.Command1->click();
        QVERIFY(r.form.isVisible());
        QVERIFY(r.form.Command11->isEnabled());
        QCOMPARE(closed.size(), 0);
    }

    void closeAsksOnlyWhenChanged_data() {
        QTest::addColumn<bool>("change");
        QTest::addColumn<int>("answer");  // Dialogs::Answer
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("stillModified");
        QByteArray saved = "500\r\n";
        for (int k = 0; k < 12; ++k)
            saved += "0\r\n";
        QTest::addColumn<bool>("byWindowManager");  // Alt+F4 or a close button instead of "关闭"
        QTest::newRow("unchanged") << false << int(Dialogs::Answer::Yes) << QByteArray() << false << false;
        QTest::newRow("changed, No") << true << int(Dialogs::Answer::No) << QByteArray() << true << false;
        QTest::newRow("changed, Yes") << true << int(Dialogs::Answer::Yes) << saved << false << false;
        QTest::newRow("window manager, unchanged")
            << false << int(Dialogs::Answer::Yes) << QByteArray() << false << true;
        QTest::newRow("window manager, changed, Yes") << true << int(Dialogs::Answer::Yes) << saved << false << true;
    }
    void closeAsksOnlyWhenChanged() {
        QFETCH(bool, change);
        QFETCH(int, answer);
        QFETCH(bool, stillModified);
        QFETCH(bool, byWindowManager);
        Rig r;
        r.form.startUp();
        r.form.show();
        if (change)
            r.form.Slider1->setValue(500);
        r.env.dialogs->answers.enqueue(Dialogs::Answer(answer));
        QSignalSpy closed(&r.form, &Form2::closed);
        QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
        if (byWindowManager)
            r.form.close();
        else
            r.form.Command1->click();
        QVERIFY(!r.form.isVisible());
        QCOMPARE(closed.size(), 1);            // the main window comes back
        QCOMPARE(lastWindowClosed.size(), 0);  // and the program goes on
        QCOMPARE(r.env.dialogs->messages.size(), change ? 1 : 0);
        if (change) {
            const FakeDialogs::Shown &m = r.env.dialogs->messages.first();
            QCOMPARE(m.text, QStringLiteral("音量设置已经修改，是否保存？"));
            QCOMPARE(m.title, QStringLiteral("提示"));
            QCOMPARE(m.buttons, Dialogs::Buttons::YesNo);
            QCOMPARE(m.icon, Dialogs::Icon::Question);
            QCOMPARE(m.defaultAnswer, Dialogs::Answer::No);
        }
        QTEST(readBytes(r.cfg()), "file");
        QCOMPARE(r.form.Command11->isEnabled(), stillModified);
        QCOMPARE(r.form.Slider1->value(), change ? 500 : 0);  // the positions stay in force

        // After No the next close asks again.
        r.form.show();
        r.env.dialogs->answers.enqueue(Dialogs::Answer::No);
        r.form.Command1->click();
        QCOMPARE(r.env.dialogs->messages.size(), (change ? 1 : 0) + (stillModified ? 1 : 0));
    }

    void marqueeTurnsEveryQuarterSecond() {
        Rig r;
        const QString start = QStringLiteral("音量设置") + QString(5, QChar(0x3000));
        QCOMPARE(r.form.MarqueeText, start);
        QCOMPARE(r.form.MarqueeText.size(), 9);
        r.env.clock->advance(249);
        QCOMPARE(r.form.Label2->text(), start);
        r.env.clock->advance(1);
        QCOMPARE(r.form.MarqueeText, start.mid(1) + start.left(1));
        QCOMPARE(r.form.Label2->text(), r.form.MarqueeText);
        r.env.clock->advance(250 * 4);
        QCOMPARE(r.form.Label2->text(), QString(4, QChar(0x3000)) + QStringLiteral("音量设置") + QChar(0x3000));
        r.env.clock->advance(250 * 4);  // nine turns in all: the text is whole again
        QCOMPARE(r.form.Label2->text(), start);
    }

    void dragMovesTheWindowAndKeepsItOnScreen_data() {
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QPoint>("during");
        QTest::addColumn<QPoint>("after");
        QTest::newRow("within the screen") << QPoint(200, 180) << QPoint(150, 130) << QPoint(150, 130);
        QTest::newRow("off the left edge") << QPoint(10, 180) << QPoint(-40, 130) << QPoint(0, 130);
        QTest::newRow("off the top edge") << QPoint(200, 20) << QPoint(150, -30) << QPoint(150, 0);
        QTest::newRow("off both") << QPoint(0, 0) << QPoint(-50, -50) << QPoint(0, 0);
    }
    void dragMovesTheWindowAndKeepsItOnScreen() {
        QFETCH(QPoint, to);
        Rig r;
        r.form.move(100, 100);
        r.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&r.form));
        QSignalSpy moved(&r.form, &Form2::backgroundMouseMoved);
        sendMouse(&r.form, QEvent::MouseButtonPress, QPoint(150, 150), Qt::RightButton, Qt::RightButton);
        sendMouse(&r.form, QEvent::MouseMove, to, Qt::NoButton, Qt::RightButton);
        QTEST(r.form.pos(), "during");
        sendMouse(&r.form, QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::NoButton);
        QTEST(r.form.pos(), "after");
        QCOMPARE(moved.size(), 1);
        // Moving without a button only tells that someone is there.
        sendMouse(&r.form, QEvent::MouseMove, QPoint(400, 400), Qt::NoButton, Qt::NoButton);
        QTEST(r.form.pos(), "after");
        QCOMPARE(moved.size(), 2);
    }
};

QTEST_MAIN(TstForm2)
#include "tst_form2.moc"
