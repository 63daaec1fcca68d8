// The spinner and the hours：minutes：seconds entry built from three text box / spinner pairs.
#include "ui/timefield.h"

#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>

Spinner::Spinner(int top, QWidget *parent) : QScrollBar(Qt::Vertical, parent) {
    setRange(0, top);
    setSingleStep(1);
    setPageStep(1);
    setValue(0);
    setFixedSize(16, 22);
    // A scroll bar's own menu ("Top", "Bottom", …) speaks of the ends the other way round from
    // the arrows, and a spinner this small needs no menu.
    setContextMenuPolicy(Qt::NoContextMenu);
    // A scroll bar's upper arrow steps down; a time spinner's steps up. The step has already
    // moved the position when actionTriggered arrives, and the value follows the position
    // afterwards, so turning the step round here is all it takes.
    connect(this, &QAbstractSlider::actionTriggered, this, &Spinner::reverseStep);
}

void Spinner::reverseStep(int action) {
    switch (action) {
    case SliderSingleStepAdd:
    case SliderPageStepAdd: setSliderPosition(std::max(minimum(), value() - 1)); break;
    case SliderSingleStepSub:
    case SliderPageStepSub: setSliderPosition(std::min(maximum(), value() + 1)); break;
    default: break;
    }
}

void Spinner::wheelEvent(QWheelEvent *event) {
    const int dy = event->angleDelta().y();
    if (dy != 0)
        triggerAction(dy > 0 ? SliderSingleStepSub : SliderSingleStepAdd);  // reversed above
    event->accept();
}

namespace timefield {

QString twoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

int leadingNumber(const QString &text) {
    static const QRegularExpression number(QStringLiteral(R"(^\s*([+-]?(\d+\.?\d*|\.\d+)))"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return 0;
    const double v = m.captured(1).toDouble();
    if (!std::isfinite(v) || std::fabs(v) > 1e9)
        return v < 0 ? -1000000000 : 1000000000;
    return int(std::nearbyint(v));
}

namespace {
class SelectAllFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::FocusIn) {
            auto *box = static_cast<QLineEdit *>(watched);
            box->selectAll();
            // A mouse click places the cursor after the focus arrives; select again once it has.
            if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
                QTimer::singleShot(0, box, [box] { box->selectAll(); });
        }
        return false;
    }
};
}  // namespace

void selectAllOnFocus(QLineEdit *box) { box->installEventFilter(new SelectAllFilter(box)); }

}  // namespace timefield

TimeEntry::TimeEntry(const Names &names, Options options, QWidget *parent)
    : QWidget(parent), m_variant(options.variant) {
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto makePair = [&](const char *textName, const char *spinnerName, int top, QLineEdit *&box, Spinner *&spin) {
        box = new QLineEdit(QStringLiteral("00"), this);
        box->setObjectName(QLatin1String(textName));
        // Two digits wide, and never narrower than the style lets a line edit be.
        box->setFixedSize(std::max(26, box->minimumSizeHint().width()), std::max(22, box->minimumSizeHint().height()));
        box->setAlignment(Qt::AlignCenter);
        box->setReadOnly(!options.typing);
        if (options.typing)
            box->setMaxLength(2);
        if (options.selectAllOnFocus)
            timefield::selectAllOnFocus(box);
        spin = new Spinner(top, this);
        spin->setObjectName(QLatin1String(spinnerName));
        row->addWidget(box);
        row->addWidget(spin);
        connect(spin, &QScrollBar::valueChanged, this, [this, box](int value) {
            box->setText(timefield::twoDigits(value));
            if (m_variant == Variant::Dialog)
                emit modified();
        });
        if (m_variant == Variant::Dialog)
            connect(box, &QLineEdit::textChanged, this, &TimeEntry::boxChanged);
    };
    auto colon = [&] {
        auto *l = new QLabel(QStringLiteral("："), this);
        row->addWidget(l);
    };
    makePair(names.hoursText, names.hoursSpinner, 23, hoursText, hoursSpinner);
    colon();
    makePair(names.minutesText, names.minutesSpinner, 59, minutesText, minutesSpinner);
    colon();
    makePair(names.secondsText, names.secondsSpinner, 59, secondsText, secondsSpinner);
    row->addStretch();
}

QString TimeEntry::composedText() const {
    return hoursText->text() + QLatin1Char(':') + minutesText->text() + QLatin1Char(':') + secondsText->text();
}

void TimeEntry::setTime(int hours, int minutes, int seconds) {
    const std::array<std::pair<QLineEdit *, Spinner *>, 3> pairs = {
        {{hoursText, hoursSpinner}, {minutesText, minutesSpinner}, {secondsText, secondsSpinner}}};
    const int values[3] = {hours, minutes, seconds};
    for (int i = 0; i < 3; ++i) {
        pairs[i].second->setValue(values[i]);
        pairs[i].first->setText(timefield::twoDigits(pairs[i].second->value()));
    }
}

void TimeEntry::boxChanged() {
    // The spinners' own handlers rewrite the boxes; those rewrites must not start another round.
    if (m_syncing)
        return;
    m_syncing = true;
    hoursSpinner->setValue(timefield::leadingNumber(hoursText->text()));
    minutesSpinner->setValue(timefield::leadingNumber(minutesText->text()));
    secondsSpinner->setValue(timefield::leadingNumber(secondsText->text()));
    // A text the spinner could not take over (out of range, not a number, one digit) is put
    // right, so box and spinner always agree and stay inside their range.
    for (auto [box, spin] : {std::pair<QLineEdit *, Spinner *>{hoursText, hoursSpinner},
                             {minutesText, minutesSpinner},
                             {secondsText, secondsSpinner}}) {
        const QString shown = timefield::twoDigits(spin->value());
        if (box->text() != shown)
            box->setText(shown);
    }
    m_syncing = false;
    emit modified();
}
