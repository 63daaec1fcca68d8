// The program as an operator meets it: its own style and font, every window at every height.
#include "app/form1.h"
#include "app/setupapplication.h"
#include "editor/scheduleeditor.h"
#include "editor/weekdaypanel.h"
#include "support/listfiles.h"
#include "support/testenv.h"
#include "ui/flexgrid.h"
#include "volume/form2.h"

#include <QtTest>

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

}  // namespace

class TestOperator : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpApplication(*qApp); }

    void everyShownControlFitsAtEachHeight() {
        TestEnv env;
        writeList(env.path("monday.lst"), {item("07:55:00", "预备铃", "播完", env.path("ready.wav")),
                                           item("08:00:00", "上课铃", "00:00:30", env.path("bell.wav"))});
        Form1 form(env.services);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QList<QPair<QPushButton *, int>> heights = {
            {form.Command2, 6165}, {form.Frame1->Command4, 9150}, {form.Frame1->Command3, 3240}};
        for (auto [button, twips] : heights) {
            button->click();
            QCOMPARE(form.height(), twips / 15);
            if (twips == 9150) {
                env.dialogs->chosenFiles.enqueue(env.path("monday.lst"));
                form.Frame2->Command6->click();  // a list open in the editor
            }
            const QStringList faults = windowFaults(&form);
            QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("at %1: ").arg(twips) + faults.join("; ")));
            saveScreenshot(&form, QStringLiteral("form1-%1").arg(twips));
            if (twips == 9150)
                form.Frame2->Command6->click();
        }
        form.Command28->click();
        QStringList faults = windowFaults(&form.form2());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
        saveScreenshot(&form.form2(), QStringLiteral("form2"));
    }
};

QTEST_MAIN(TestOperator)
#include "tst_operator.moc"
