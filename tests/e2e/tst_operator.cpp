// The program as an operator meets it: its own style, font and Qt texts, every window at every
// height, and the real message boxes and file dialogs.
#include "app/form1.h"
#include "app/setupapplication.h"
#include "editor/holidaydialog.h"
#include "editor/scheduleeditor.h"
#include "editor/weekdaypanel.h"
#include "housekeeping/autoshutdown.h"
#include "housekeeping/form3.h"
#include "lock/passworddialog.h"
#include "lock/passwordprompt.h"
#include "lock/settingslock.h"
#include "randommusic/libraryeditor.h"
#include "support/listfiles.h"
#include "support/testenv.h"
#include "support/testfiles.h"
#include "ui/dialogs_qt.h"
#include "ui/fitlabel.h"
#include "ui/flexgrid.h"
#include "ui/picturebox.h"
#include "volume/form2.h"

#include <QFileDialog>
#include <QListView>
#include <QMessageBox>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>
#include <functional>

namespace {

// The least size a layout would give the widget: its minimum size where one is set, else its
// minimum size hint, or its size hint where its size policy does not let it shrink.
int leastExtent(int set, int hint, int minHint, QSizePolicy::Policy policy) {
    if (set > 0)
        return set;
    if (policy == QSizePolicy::Ignored)
        return 0;
    return std::max(0, (policy & QSizePolicy::ShrinkFlag) ? minHint : std::max(hint, minHint));
}

QString describe(const QWidget *w) {
    QString name = w->objectName();
    for (const QWidget *p = w->parentWidget(); name.isEmpty() && p; p = p->parentWidget())
        if (!p->objectName().isEmpty())
            name = QStringLiteral("(in %1)").arg(p->objectName());
    return QStringLiteral("%1 %2").arg(QString::fromLatin1(w->metaObject()->className()), name);
}

// A grid or list lays out its own headers, scroll bars and viewport.
bool insideView(const QWidget *w, const QWidget *window) {
    for (const QWidget *p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QAbstractScrollArea *>(p))
            return true;
    return false;
}

// Every shown control of the window below root must be at least its least size and lie wholly
// inside its parent and the window. A control wholly below the window's bottom is not shown at
// this height.
QStringList geometryFaults(QWidget *window, QWidget *root) {
    QStringList faults;
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    if (root != window)
        widgets.prepend(root);
    for (QWidget *w : widgets) {
        if (w->isWindow() || !w->isVisibleTo(window) || insideView(w, window))
            continue;
        const QRect inWindow(w->mapTo(window, QPoint(0, 0)), w->size());
        if (!inWindow.intersects(window->rect()))
            continue;
        const QSizePolicy policy = w->sizePolicy();
        const QSize least(leastExtent(w->minimumWidth(), w->sizeHint().width(), w->minimumSizeHint().width(),
                                      policy.horizontalPolicy()),
                          leastExtent(w->minimumHeight(), w->sizeHint().height(), w->minimumSizeHint().height(),
                                      policy.verticalPolicy()));
        if (w->width() < least.width() || w->height() < least.height())
            faults << QStringLiteral("%1 is %2×%3, needs %4×%5")
                          .arg(describe(w))
                          .arg(w->width())
                          .arg(w->height())
                          .arg(least.width())
                          .arg(least.height());
        if (!window->rect().contains(inWindow))
            faults << QStringLiteral("%1 at %2,%3 %4×%5 leaves the window")
                          .arg(describe(w))
                          .arg(inWindow.x())
                          .arg(inWindow.y())
                          .arg(inWindow.width())
                          .arg(inWindow.height());
        else if (w->parentWidget() != window && !w->parentWidget()->rect().contains(w->geometry()))
            faults << QStringLiteral("%1 leaves its parent").arg(describe(w));
    }
    return faults;
}

// The shown window, and each of its panels that is hidden now but shown over it at times.
QStringList windowFaults(QWidget *window) {
    QStringList faults = geometryFaults(window, window);
    for (QWidget *child : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() || child->isVisibleTo(window))
            continue;
        child->show();
        faults += geometryFaults(window, child);
        child->hide();
    }
    return faults;
}

void saveScreenshot(QWidget *window, const QString &name) {
    const QString folder = QStringLiteral(TOLLMERE_SCREENSHOTS);
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(window->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png")));
}

// Closes the dialog, and any message box it has put up over itself, until it is gone.
void closeForGood(QPointer<QWidget> dialog) {
    auto *sweep = new QTimer;
    QObject::connect(sweep, &QTimer::timeout, [=] {
        if (!dialog || !dialog->isVisible())
            sweep->deleteLater();
        else if (auto *top = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            top->reject();
    });
    sweep->start(100);
}

// Waits for the modal dialog of type D to come up and be ready, then acts on it as a user would.
// A dialog still up ten seconds later is closed, so a failing test ends.
template <typename D>
void whenModal(std::function<bool(D *)> ready, std::function<void(D *)> act, bool *acted) {
    auto *poll = new QTimer;
    auto *since = new QElapsedTimer;
    since->start();
    QObject::connect(poll, &QTimer::timeout, [=] {
        QPointer<QWidget> dialog = qobject_cast<D *>(QApplication::activeModalWidget());
        if (dialog && ready(static_cast<D *>(dialog.data()))) {
            *acted = true;
            QTimer::singleShot(10000, [dialog] { closeForGood(dialog); });  // before acting, which may block
            act(static_cast<D *>(dialog.data()));
        } else if (since->elapsed() < 10000) {
            return;
        } else {
            closeForGood(QApplication::activeModalWidget());
        }
        poll->deleteLater();
        delete since;
    });
    poll->start(10);
}

// The names a file dialog lists in its current folder, once it has read them.
QStringList listedNames(QFileDialog *dialog) {
    auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
    QStringList names;
    for (int r = 0; view && r < view->model()->rowCount(view->rootIndex()); ++r)
        names << view->model()->index(r, 0, view->rootIndex()).data().toString();
    names.sort();
    return names;
}

bool listsFolder(QFileDialog *dialog, const QString &folder) {
    return QDir(dialog->directory()).canonicalPath() == QDir(folder).canonicalPath() && !listedNames(dialog).isEmpty();
}

// Types a name into the dialog's name box and presses Enter.
void typeName(QFileDialog *dialog, const QString &name) {
    auto *box = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QTest::keyClicks(box, name);
    QTest::keyClick(box, Qt::Key_Return);
}

}  // namespace

class TestOperator : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpApplication(*qApp); }

    void everyShownControlFitsAtEachHeight() {
        TestEnv env;
        writeList(env.path("monday.lst"), {item("07:55:00", "预备铃", "播完", env.path("ready.wav")),
                                           item("08:00:00", "上课铃", "00:00:30", env.path("bell.wav"))});
        // A make-up day: the date label names the weekday it follows, the longest text it shows.
        QFile holidays(env.path("Holidays.txt"));
        QVERIFY(holidays.open(QIODevice::WriteOnly));
        holidays.write("2026-12-07 周五\r\n2027-01-01 休息 # 元旦\r\n");
        holidays.close();
        Form1 form(env.services);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        env.clock->advance(1000);
        QVERIFY(form.Label2->text().endsWith(QStringLiteral("星期一（按周五）")));
        // The note is long for the date card: it is drawn smaller, but whole.
        auto *date = qobject_cast<FitLabel *>(form.Label2);
        QVERIFY(date);
        QVERIFY(QFontMetrics(date->fittedFont()).horizontalAdvance(QStringLiteral("星期一（按周五）")) <=
                date->contentsRect().width());
        QList<QPair<QPushButton *, int>> heights = {
            {form.Command2, 6165}, {form.Frame1->Command4, 9150}, {form.Frame1->Command3, 3240}};
        for (auto [button, twips] : heights) {
            button->click();
            QCOMPARE(form.height(), twips / 15);
            if (twips == 9150) {
                env.dialogs->chosenFiles.enqueue(env.path("monday.lst"));
                form.scheduleEditor().Command6->click();  // a list open in the editor
            }
            const QStringList faults = windowFaults(&form);
            QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("at %1: ").arg(twips) + faults.join("; ")));
            saveScreenshot(&form, QStringLiteral("form1-%1").arg(twips));
            if (twips == 9150)
                form.scheduleEditor().Command6->click();
        }
        form.Frame1->HolidayButton->click();
        QVERIFY(form.holidayDialog().isVisible());
        QStringList faults = windowFaults(&form.holidayDialog());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
        saveScreenshot(&form.holidayDialog(), QStringLiteral("holidaydialog"));
        form.holidayDialog().closeButton->click();
        form.Command28->click();
        faults = windowFaults(&form.form2());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
        saveScreenshot(&form.form2(), QStringLiteral("form2"));
    }

    // Pictures for a reviewer: each height with and without the cover, and each panel that
    // lies over the main bar; the countdown stays above the cover and the about panel.
    void picturesOfEveryState() {
        TestEnv env;
        Form1 form(env.services);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QList<QPair<QPushButton *, int>> heights = {
            {form.Frame1->Command3, 3240}, {form.Command2, 6165}, {form.Frame1->Command4, 9150}};
        for (auto [button, twips] : heights) {
            button->click();
            form.Picture4->show();
            saveScreenshot(&form, QStringLiteral("form1-%1-cover").arg(twips));
            QTest::mouseClick(form.Picture4, Qt::LeftButton);
            saveScreenshot(&form, QStringLiteral("form1-%1-list").arg(twips));
        }
        form.Frame1->Command3->click();
        QTest::mouseClick(form.Label1, Qt::LeftButton);
        QVERIFY(form.Picture3->isVisible());
        saveScreenshot(&form, QStringLiteral("form1-about"));
        QTest::mouseClick(form.Picture3, Qt::LeftButton);
        form.Command22->click();
        QVERIFY(form.libraryEditor().isVisible());
        saveScreenshot(&form, QStringLiteral("form1-library"));
        form.libraryEditor().hide();

        AutoShutdown &shutdown = form.autoShutdown();
        form.Command14->click();
        if (!shutdown.Check1->isChecked())
            shutdown.Check1->click();
        shutdown.VScroll9->setValue(6);  // an hour ago: due at the next check
        saveScreenshot(&form, QStringLiteral("form1-shutdown-strip"));
        shutdown.Command15->click();
        form.Picture4->show();
        env.clock->advance(5000 + 3000);
        QVERIFY(shutdown.Frame4->isVisible());
        QTest::mouseClick(form.Label2, Qt::LeftButton);  // the about panel too
        QVERIFY(form.Picture3->isVisible());
        const QPoint middle = shutdown.Frame4->geometry().center();
        QVERIFY(shutdown.Frame4->isAncestorOf(form.childAt(middle)) || form.childAt(middle) == shutdown.Frame4);
        saveScreenshot(&form, QStringLiteral("form1-shutdown-countdown"));
        shutdown.Command17->click();  // 取消

        form.Command28->click();
        saveScreenshot(&form.form2(), QStringLiteral("form2"));
        form.form2().Command1->click();
        form.form3().show();
        saveScreenshot(&form.form3(), QStringLiteral("form3"));
        form.form3().hide();
        QCOMPARE(env.shutdown->requests, 0);
    }

    // Today's special list is missing: the list-file label warns and Monday's list plays. The
    // operator picks another list in the real file dialog and renames the day; from the next
    // second the label names the special day and its list.
    void aSpecialDayThroughTheRealWindows() {
        TestEnv env;
        env.services.dialogs = makeQtDialogs();
        writeList(env.path("monday.lst"), {item("08:00:00", "上课铃", "00:00:30", env.path("bell.wav"))});
        writeList(env.path("exam day.lst"), {item("08:30:00", "考试开始", "00:00:30", env.path("bell.wav"))});
        writeBytes(env.path("Holidays.txt"), ("2026-12-07 " + env.path("half day.lst") + "  # 半天课\r\n").toUtf8());
        Form1 form(env.services);
        form.Frame1->Text5->setText(env.path("monday.lst"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.Picture4, Qt::LeftButton);  // the cover over today's list
        env.clock->advance(1000);
        QVERIFY2(form.Label28->text().startsWith(QStringLiteral("列表文件：⚠ 特殊日（半天课）的列表")),
                 qPrintable(form.Label28->text()));
        QCOMPARE(form.todayList.path, env.path("monday.lst"));
        saveScreenshot(&form, QStringLiteral("form1-special-day-missing"));

        form.Frame1->HolidayButton->click();
        HolidayDialog &d = form.holidayDialog();
        QVERIFY(d.specialOption->isChecked());
        bool acted = false;
        whenModal<QFileDialog>([&](QFileDialog *f) { return listsFolder(f, env.dir.path()); },
                               [&](QFileDialog *f) { typeName(f, QStringLiteral("exam day")); }, &acted);
        d.listFileButton->click();
        QVERIFY(acted);
        QCOMPARE(d.comingList->item(0)->text(), "2026-12-07 星期一　按列表 " + env.path("exam day.lst") + "　半天课");
        d.noteText->selectAll();
        QTest::sendKeyEvent(QTest::Click, d.noteText, Qt::Key_unknown, QStringLiteral("期末考试"), Qt::NoModifier);
        const QStringList faults = windowFaults(&d);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
        saveScreenshot(&d, QStringLiteral("holidaydialog-special"));
        d.saveButton->click();
        d.closeButton->click();
        env.clock->advance(1000);
        QCOMPARE(form.Label28->text(), "列表文件：（特殊日：期末考试）" + env.path("exam day.lst"));
        QCOMPARE(form.todayList.count(), 1);
        saveScreenshot(&form, QStringLiteral("form1-special-day"));
    }

    // The password dialog as it first opens, and the prompt a guarded button then brings up;
    // cancelled, the volume dialog stays closed.
    void thePasswordDialogs() {
        TestEnv env;
        Form1 form(env.services);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.Frame1->LockButton->click();
        PasswordDialog &d = form.passwordDialog();
        QStringList faults = windowFaults(&d);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
        saveScreenshot(&d, QStringLiteral("passworddialog"));
        QTest::keyClicks(d.newText, "bell2027");
        QTest::keyClicks(d.againText, "bell2027");
        d.saveButton->click();
        form.settingsLock().lock();
        bool acted = false;
        whenModal<PasswordPrompt>([](PasswordPrompt *p) { return p->isVisible(); },
                                  [&](PasswordPrompt *p) {
                                      faults = windowFaults(p);
                                      saveScreenshot(p, QStringLiteral("passwordprompt"));
                                      p->cancelButton->click();
                                  },
                                  &acted);
        QTest::mouseClick(form.Command28, Qt::LeftButton);
        QVERIFY(acted);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
        QVERIFY(!form.form2().isVisible());
    }

    // One dialog for both panels: a new name is taken with the list extension added, only list
    // files are offered, and the next use starts in the folder the last one left.
    void realFileDialogsTakeNewNamesAndCarryOver() {
        TestEnv env;
        env.services.dialogs = makeQtDialogs();
        for (const char *name : {"old.lst", "notes.txt", "bell.wav"})
            QVERIFY(QFile(env.path(name)).open(QIODevice::WriteOnly));
        Form1 form(env.services);
        form.show();
        const QString folder = env.dir.path();
        QStringList listed, titles;
        bool acted = false;
        auto typeNew = [&](const QString &name) {
            acted = false;
            whenModal<QFileDialog>([&](QFileDialog *d) { return listsFolder(d, folder); },
                                   [&, name](QFileDialog *d) {
                                       listed << listedNames(d).join(QLatin1Char(','));
                                       titles << d->windowTitle();
                                       if (titles.size() == 1)
                                           saveScreenshot(d, QStringLiteral("filedialog"));
                                       typeName(d, name);
                                   },
                                   &acted);
        };

        typeNew(QStringLiteral("monday"));  // the weekday panel's extension is ".lst"
        form.Frame1->Command10[2]->click();
        QVERIFY(acted);
        QCOMPARE(form.Frame1->Text5->text(), env.path("monday.lst"));
        QVERIFY(!QFile::exists(env.path("monday.lst")));  // the weekday panel only names it

        typeNew(QStringLiteral("new"));  // the editor's is "lst"
        form.scheduleEditor().Command6->click();
        QVERIFY(acted);
        QCOMPARE(form.scheduleEditor().Text19->text(), env.path("new.lst"));
        QVERIFY(QFileInfo(env.path("new.lst")).isFile());  // opening a new name creates the list
        QCOMPARE(form.scheduleEditor().state(), editorrules::State::Open);
        QCOMPARE(listed, QStringList({"old.lst", "old.lst"}));
        QCOMPARE(titles, QStringList({"打开", "打开"}));

        // The sound file dialog sets only its filter and opens where the list dialog left off.
        // Its detail view gives sizes and dates in Chinese, whatever LANG says.
        acted = false;
        QStringList bellDetails;
        whenModal<QFileDialog>([&](QFileDialog *d) { return listsFolder(d, folder); },
                               [&](QFileDialog *d) {
                                   listed = listedNames(d);
                                   QTest::mouseClick(d->findChild<QToolButton *>("detailModeButton"), Qt::LeftButton);
                                   auto *details = d->findChild<QTreeView *>(QStringLiteral("treeView"));
                                   const QModelIndex root = details->rootIndex();
                                   for (int r = 0; r < details->model()->rowCount(root); ++r)
                                       if (details->model()->index(r, 0, root).data() == "bell.wav")
                                           for (int c : {1, 3})
                                               bellDetails << details->model()->index(r, c, root).data().toString();
                                   saveScreenshot(d, QStringLiteral("filedialog-details"));
                                   d->reject();
                               },
                               &acted);
        form.scheduleEditor().Command12->click();
        QVERIFY(acted);
        // Sound files only, beside the name the last use left in the name box.
        QCOMPARE(listed, QStringList({"bell.wav", "new.lst"}));
        const QLocale chinese(QLocale::Chinese, QLocale::China);
        QCOMPARE(bellDetails,
                 QStringList({QStringLiteral("0 字节"),
                              chinese.toString(QFileInfo(env.path("bell.wav")).lastModified(), QLocale::ShortFormat)}));
        QVERIFY(form.scheduleEditor().Text12->text().isEmpty());  // cancelled
        form.scheduleEditor().Command6->click();
    }

    // Qt's own texts are Chinese whatever the system's language.
    void messageBoxButtonsAreChinese() {
        const std::unique_ptr<Dialogs> dialogs = makeQtDialogs();
        QStringList buttons;
        bool acted = false;
        whenModal<QMessageBox>([](QMessageBox *) { return true; },
                               [&](QMessageBox *box) {
                                   for (QAbstractButton *b : box->buttons())
                                       buttons << b->text();
                                   saveScreenshot(box, QStringLiteral("messagebox"));
                                   box->button(QMessageBox::No)->click();
                               },
                               &acted);
        const Dialogs::Answer answer =
            dialogs->message(nullptr, QStringLiteral("音量设置已经修改，是否保存？"), Dialogs::Buttons::YesNo,
                             Dialogs::Icon::Question, QStringLiteral("提示"), Dialogs::Answer::No);
        QVERIFY(acted);
        QCOMPARE(answer, Dialogs::Answer::No);
        buttons.sort();
        QCOMPARE(buttons, QStringList({"否(&N)", "是(&Y)"}));
    }
};

QTEST_MAIN(TestOperator)
#include "tst_operator.moc"
