// Time entry fields: spinner direction and limits, two-digit texts, typing, select-all, dialog flow.
#include "ui/timefield.h"

#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QtTest>

namespace {

const TimeEntry::Names Names{"Text13", "VScroll1", "Text14", "VScroll2", "Text15", "VScroll3"};

// Where a user clicks to press the spinner's upper or lower arrow.
QPoint arrow(Spinner *s, bool upper) {
    QStyleOptionSlider opt;
    opt.initFrom(s);
    opt.subControls = QStyle::SC_All;
    opt.orientation = Qt::Vertical;
    opt.minimum = s->minimum();
    opt.maximum = s->maximum();
    opt.sliderPosition = s->sliderPosition();
    opt.sliderValue = s->value();
    opt.singleStep = s->singleStep();
    opt.pageStep = s->pageStep();
    const QRect r = s->style()->subControlRect(QStyle::CC_ScrollBar, &opt,
                                               upper ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine, s);
    return r.center();
}

void click(Spinner *s, bool upper) { QTest::mouseClick(s, Qt::LeftButton, {}, arrow(s, upper)); }

}  // namespace

class TstTimeField : public QObject {
    Q_OBJECT
private slots:
    void arrowsCountUpAndDownAndStopAtTheEnds_data();
    void arrowsCountUpAndDownAndStopAtTheEnds();
    void rightClickOffersNoMenuAgainstTheArrows();
    void valueSetByProgramWritesTwoDigits();
    void boxesAreReadOnlyUnlessTyping();
    void typedTextIsOverwrittenByTheNextArrowOnly();
    void selectAllOnFocus_data();
    void selectAllOnFocus();
    void leadingNumber_data();
    void leadingNumber();
    void dialogVariantFlowsBothWays();
    void dialogVariantPutsStoredTextsOutOfRangeRight();
};

void TstTimeField::arrowsCountUpAndDownAndStopAtTheEnds_data() {
    QTest::addColumn<int>("field");  // 0 hours, 1 minutes, 2 seconds
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("upper arrow counts up") << 0 << 0 << true << 1 << "01";
    QTest::newRow("lower arrow counts down") << 1 << 10 << false << 9 << "09";
    QTest::newRow("hours stop at 23") << 0 << 23 << true << 23 << "23";
    QTest::newRow("minutes stop at 59") << 1 << 59 << true << 59 << "59";
    QTest::newRow("seconds stop at 0") << 2 << 0 << false << 0 << "00";
}

void TstTimeField::arrowsCountUpAndDownAndStopAtTheEnds() {
    QFETCH(int, field);
    QFETCH(int, start);
    QFETCH(bool, upper);
    TimeEntry entry(Names, {});
    entry.show();
    QVERIFY(QTest::qWaitForWindowExposed(&entry));
    Spinner *spinners[] = {entry.hoursSpinner, entry.minutesSpinner, entry.secondsSpinner};
    QLineEdit *boxes[] = {entry.hoursText, entry.minutesText, entry.secondsText};
    spinners[field]->setValue(start);
    QSignalSpy changes(spinners[field], &QScrollBar::valueChanged);
    click(spinners[field], upper);
    QTEST(spinners[field]->value(), "value");
    QTEST(boxes[field]->text(), "text");
    QFETCH(int, value);
    QCOMPARE(changes.size(), value == start ? 0 : 1);
}

void TstTimeField::rightClickOffersNoMenuAgainstTheArrows() {
    // A scroll bar's own menu would offer "Top" for the value at the lower arrow's end.
    TimeEntry entry(Names, {});
    entry.show();
    QVERIFY(QTest::qWaitForWindowExposed(&entry));
    QString menu;
    QTimer::singleShot(0, [&] {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            menu = QString::fromLatin1(popup->metaObject()->className());
            popup->close();
        }
    });
    Spinner *s = entry.minutesSpinner;
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4), s->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(s, &event);
    QCoreApplication::processEvents();
    QCOMPARE(menu, QString());
}

void TstTimeField::valueSetByProgramWritesTwoDigits() {
    TimeEntry entry(Names, {});
    QCOMPARE(entry.composedText(), QStringLiteral("00:00:00"));
    QCOMPARE(entry.hoursSpinner->objectName(), QStringLiteral("VScroll1"));
    QCOMPARE(entry.secondsText->objectName(), QStringLiteral("Text15"));
    entry.hoursSpinner->setValue(7);
    entry.minutesSpinner->setValue(30);
    entry.secondsSpinner->setValue(5);
    QCOMPARE(entry.composedText(), QStringLiteral("07:30:05"));
    entry.setTime(13, 99, 0);  // a value out of range stops at the end
    QCOMPARE(entry.composedText(), QStringLiteral("13:59:00"));
}

void TstTimeField::boxesAreReadOnlyUnlessTyping() {
    TimeEntry fixed(Names, {});
    QTest::keyClicks(fixed.minutesText, QStringLiteral("45"));
    QCOMPARE(fixed.minutesText->text(), QStringLiteral("00"));
    TimeEntry typing(Names, {TimeEntry::Variant::MainWindow, true, true});
    typing.minutesText->clear();
    QTest::keyClicks(typing.minutesText, QStringLiteral("456"));
    QCOMPARE(typing.minutesText->text(), QStringLiteral("45"));
    QCOMPARE(typing.minutesSpinner->value(), 0);
}

void TstTimeField::typedTextIsOverwrittenByTheNextArrowOnly() {
    TimeEntry entry(Names, {TimeEntry::Variant::MainWindow, true, true});
    entry.show();
    QVERIFY(QTest::qWaitForWindowExposed(&entry));
    entry.minutesText->clear();
    QTest::keyClicks(entry.minutesText, QStringLiteral("45"));
    entry.minutesSpinner->setValue(0);  // the value it holds: nothing happens
    QCOMPARE(entry.minutesText->text(), QStringLiteral("45"));
    click(entry.minutesSpinner, true);
    QCOMPARE(entry.minutesText->text(), QStringLiteral("01"));
}

void TstTimeField::selectAllOnFocus_data() {
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<QString>("selected");
    QTest::newRow("editor and shutdown boxes") << true << "00";
    QTest::newRow("library boxes") << false << "";
}

void TstTimeField::selectAllOnFocus() {
    QFETCH(bool, selectAll);
    TimeEntry entry(Names, {TimeEntry::Variant::MainWindow, selectAll, false});
    entry.show();
    QVERIFY(QTest::qWaitForWindowExposed(&entry));
    // Focus given by the program, and by a mouse click (whose press would place the cursor).
    for (Qt::FocusReason reason : {Qt::OtherFocusReason, Qt::MouseFocusReason}) {
        entry.hoursText->deselect();
        QFocusEvent focus(QEvent::FocusIn, reason);
        QApplication::sendEvent(entry.hoursText, &focus);
        entry.hoursText->deselect();
        QCoreApplication::processEvents();
        if (reason == Qt::OtherFocusReason)
            continue;
        QTEST(entry.hoursText->selectedText(), "selected");
    }
    entry.hoursText->deselect();
    QFocusEvent focus(QEvent::FocusIn, Qt::OtherFocusReason);
    QApplication::sendEvent(entry.hoursText, &focus);
    QTEST(entry.hoursText->selectedText(), "selected");
}

void TstTimeField::leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("two digits") << "08" << 8;
    QTest::newRow("one digit") << "7" << 7;
    QTest::newRow("decimal rounds") << "7.6" << 8;
    QTest::newRow("trailing text") << " 12ab" << 12;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("not a number") << "ab" << 0;
    QTest::newRow("negative") << "-5" << -5;
}

void TstTimeField::leadingNumber() {
    QFETCH(QString, text);
    QTEST(timefield::leadingNumber(text), "value");
}

void TstTimeField::dialogVariantFlowsBothWays() {
    TimeEntry entry({"Text22", "VScroll9", "Text21", "VScroll8", "Text20", "VScroll7"},
                    {TimeEntry::Variant::Dialog, false, false});
    QSignalSpy modified(&entry, &TimeEntry::modified);
    entry.minutesSpinner->setValue(5);
    QCOMPARE(entry.minutesText->text(), QStringLiteral("05"));
    QVERIFY(!modified.isEmpty());
    modified.clear();
    entry.hoursText->setText(QStringLiteral("7"));
    QCOMPARE(entry.hoursSpinner->value(), 7);
    QCOMPARE(entry.hoursText->text(), QStringLiteral("07"));
    QVERIFY(!modified.isEmpty());
    QCOMPARE(entry.composedText(), QStringLiteral("07:05:00"));
}

void TstTimeField::dialogVariantPutsStoredTextsOutOfRangeRight() {
    TimeEntry entry({"Text22", "VScroll9", "Text21", "VScroll8", "Text20", "VScroll7"},
                    {TimeEntry::Variant::Dialog, false, false});
    entry.hoursText->setText(QStringLiteral("30"));
    entry.minutesText->setText(QStringLiteral("xy"));
    entry.secondsText->setText(QStringLiteral("75"));
    QCOMPARE(entry.composedText(), QStringLiteral("23:00:59"));
    QCOMPARE(entry.hoursSpinner->value(), 23);
    QCOMPARE(entry.secondsSpinner->value(), 59);
}

QTEST_MAIN(TstTimeField)
#include "tst_timefield.moc"
