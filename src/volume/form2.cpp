// Form2's controls, its slider and button handlers, the title marquee and window dragging.
#include "volume/form2.h"

#include "core/linefile.h"
#include "ui/marquee.h"
#include "ui/named.h"
#include "ui/pictures.h"
#include "ui/twips.h"
#include "volume/logging.h"
#include "volume/volumecfg.h"
#include "volume/volumeposition.h"

#include <QCloseEvent>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// The sliders' range before the mixer has given its own (and for good if it never opens):
// the whole span of positions a 16-bit mixer volume has.
constexpr int DesignMax = 32767;
constexpr int Step = 1000;

const char *const GroupCaptions[12] = {"第一组", "第二组", "第三组", "第四组", "第五组",   "第六组",
                                       "第七组", "第八组", "第九组", "第十组", "第十一组", "第十二组"};

// The red wedge beside the scheduled-broadcast slider: wide at the top (loud), a point at
// the bottom (quiet), drawn as three lines.
class Wedge : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::red, 2));
        const QPointF topLeft(2, 2), topRight(width() - 2, 2), bottom(width() - 2, height() - 2);
        p.drawLine(topLeft, topRight);
        p.drawLine(topRight, bottom);
        p.drawLine(bottom, topLeft);
    }
};

// One character a line, for the captions standing above the group sliders.
QString vertical(const QString &text) {
    QStringList chars;
    for (QChar c : text)
        chars << QString(c);
    return chars.join(QLatin1Char('\n'));
}

Slider *slider(const QString &name, QWidget *parent) {
    auto *s = named(new Slider(parent), name);
    s->setMin(0);
    s->setMax(DesignMax);
    s->setLargeChange(Step);
    s->setSmallChange(Step);
    return s;
}

}  // namespace

Form2::Form2(Clock &clock, Dialogs &dialogs, const QString &appDir, clsVolume &volume, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_clock(clock), m_dialogs(dialogs), m_appDir(appDir),
      m_volume(volume), m_drag(*this) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Tollmere"));
    setFixedSize(twipsToPixels(10440), twipsToPixels(3255));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);  // the background picture covers every pixel

    MarqueeText = QStringLiteral("音量设置") + QString(5, QChar(0x3000));

    // The title strip in the colours of the main window's top part.
    Picture8 = named(new QWidget(this), "Picture8");
    Picture8->setGeometry(0, 0, width(), 28);
    Picture8->setAutoFillBackground(true);
    QPalette strip = Picture8->palette();
    strip.setColor(QPalette::Window, pictures::Band);
    strip.setColor(QPalette::WindowText, pictures::Amber);
    Picture8->setPalette(strip);
    Label2 = named(new QLabel(MarqueeText, Picture8), "Label2");
    Label2->setGeometry(0, 0, width(), 28);
    Label2->setAlignment(Qt::AlignCenter);
    QFont titleFont = Label2->font();
    titleFont.setPointSize(12);
    titleFont.setBold(true);
    Label2->setFont(titleFont);

    Frame2 = named(new QGroupBox(QStringLiteral("定时播报音量"), this), "Frame2");
    Frame2->setGeometry(8, 32, 128, 176);
    Slider1 = slider(QStringLiteral("Slider1"), Frame2);
    Slider1->setGeometry(72, 40, 28, 112);
    Label1[12] = named(new QLabel(QStringLiteral("MAX"), Frame2), "Label1(12)");
    Label1[12]->setGeometry(64, 20, 44, 18);
    Label1[13] = named(new QLabel(QStringLiteral("MIN"), Frame2), "Label1(13)");
    Label1[13]->setGeometry(64, 153, 44, 18);
    for (int i : {12, 13})
        Label1[i]->setAlignment(Qt::AlignCenter);
    auto *wedge = new Wedge(Frame2);
    wedge->setGeometry(22, 46, 40, 100);

    Frame1 = named(new QGroupBox(QStringLiteral("随机播放音量"), this), "Frame1");
    Frame1->setGeometry(144, 32, 448, 176);
    constexpr int column = 28, groupGap = 40, sliderTop = 84, sliderHeight = 84;
    for (int k = 0; k < 12; ++k) {
        const int x = 12 + (k / 4) * (4 * column + groupGap) + (k % 4) * column;
        Label1[k] = named(new QLabel(vertical(QString::fromUtf8(GroupCaptions[k])), Frame1),
                          QStringLiteral("Label1(%1)").arg(k));
        Label1[k]->setGeometry(x, 18, column, sliderTop - 20);
        Label1[k]->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        Slider2[k] = slider(QStringLiteral("Slider2(%1)").arg(k), Frame1);
        Slider2[k]->setGeometry(x, sliderTop, column, sliderHeight);
    }
    for (int g = 0; g < 2; ++g) {
        const int x = 12 + (g + 1) * 4 * column + g * groupGap;
        Label1[14 + g] = named(new QLabel(QStringLiteral("MAX"), Frame1), QStringLiteral("Label1(%1)").arg(14 + g));
        Label1[14 + g]->setGeometry(x, sliderTop, groupGap, 18);
        Label1[16 + g] = named(new QLabel(QStringLiteral("MIN"), Frame1), QStringLiteral("Label1(%1)").arg(16 + g));
        Label1[16 + g]->setGeometry(x, sliderTop + sliderHeight - 18, groupGap, 18);
        Label1[14 + g]->setAlignment(Qt::AlignCenter);
        Label1[16 + g]->setAlignment(Qt::AlignCenter);
    }

    Command11 = named(new QPushButton(QStringLiteral("保存"), this), "Command11");
    Command11->setGeometry(604, 64, 84, 34);
    Command11->setEnabled(false);
    Command1 = named(new QPushButton(QStringLiteral("关闭"), this), "Command1");
    Command1->setGeometry(604, 130, 84, 34);

    Timer1 = new Timer(m_clock, QStringLiteral("Timer1"), 250, true, this);

    connect(Slider1, &QSlider::valueChanged, this, &Form2::sendScheduledVolume);  // Slider1_Change
    for (int k = 0; k < 12; ++k)
        connect(Slider2[k], &QSlider::valueChanged, this, [this, k] { sendGroupVolume(k); });  // Slider2_Change
    connect(Command11, &QPushButton::clicked, this, &Form2::saveClicked);                      // Command11_Click
    connect(Command1, &QPushButton::clicked, this, &Form2::closeDialog);                       // Command1_Click
    connect(Timer1, &Timer::timeout, this, &Form2::turnMarquee);                               // Timer1_Timer
}

Form2::~Form2() = default;

QString Form2::volumeFilePath() const { return m_appDir + volumecfg::fileName(); }

void Form2::startUp() {
    m_volume.meOpenMixer();
    if (m_volume.prMixerErr() == 0) {
        m_volume.prSpeakerVolume(m_volume.prSpeakerMaxVolume() / 4);
        // Setting a range may move a knob, which sends its volume like any other change.
        // A card without a speaker control leaves Slider1 its own range rather than 0..0.
        const bool speaker = m_volume.prSpeakerMaxVolume() > m_volume.prSpeakerMinVolume();
        if (speaker)
            Slider1->setRange(m_volume.prSpeakerMinVolume(), m_volume.prSpeakerMaxVolume() / 2);
        Slider1->setLargeChange(Step);
        Slider1->setSmallChange(Step);
        // The group sliders take the microphone line's range, though their volumes go to
        // the speaker like Slider1's. Many cards have no microphone control: a range of 0..0
        // would pin every group at the loudest position, so they take the speaker's instead.
        const bool mic = m_volume.prMicMaxVolume() > m_volume.prMicMinVolume();
        for (Slider *s : Slider2) {
            if (mic)
                s->setRange(m_volume.prMicMinVolume(), m_volume.prMicMaxVolume() / 2);
            else if (speaker)
                s->setRange(m_volume.prSpeakerMinVolume(), m_volume.prSpeakerMaxVolume() / 2);
            s->setLargeChange(Step);
            s->setSmallChange(Step);
        }
    }
    // A mixer that opens only later (a sound server that starts after the program) is not
    // ranged again: the design range is the 16-bit span every card is shown in, so the
    // positions already mean the right volumes.
    LoadVolume();
}

void Form2::putPosition(Slider *slider, const std::optional<qint64> &position) {
    if (!position)
        return;
    slider->setValue(int(std::clamp<qint64>(*position, slider->min(), slider->max())));
}

void Form2::LoadVolume() {
    QStringList lines;
    // A file that can be neither read nor created leaves the positions as they are.
    if (const Result loaded = linefile::read(volumeFilePath(), &lines); !loaded) {
        qCWarning(lcMixer) << "cannot read" << volumeFilePath() << loaded.reason();
    } else {
        const volumecfg::ReadPositions read = volumecfg::parse(lines);
        putPosition(Slider1, read[0]);
        for (int k = 0; k < 12; ++k)
            putPosition(Slider2[k], read[std::size_t(k + 1)]);
    }
    Command11->setEnabled(false);
}

bool Form2::SaveVolume() {
    volumecfg::Positions positions;
    positions[0] = Slider1->value();
    for (int k = 0; k < 12; ++k)
        positions[std::size_t(k + 1)] = Slider2[k]->value();
    const Result saved = linefile::write(volumeFilePath(), volumecfg::format(positions));
    if (saved)
        return true;
    m_dialogs.message(this,
                      QStringLiteral("无法保存音量设置文件 %1：%2\n音量设置没有保存。")
                          .arg(QDir::toNativeSeparators(volumeFilePath()), saved.reason()),
                      Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
    return false;
}

void Form2::sendScheduledVolume() {
    Command11->setEnabled(true);
    m_volume.prSpeakerVolume(VolumeForPosition(Slider1->value()));
}

void Form2::sendGroupVolume(int index) {
    Command11->setEnabled(true);
    m_volume.prSpeakerVolume(VolumeForPosition(Slider2[std::size_t(index)]->value()));
}

void Form2::saveClicked() {
    if (SaveVolume())
        Command11->setEnabled(false);
}

void Form2::closeDialog() {
    if (Command11->isEnabled()) {
        const Dialogs::Answer answer =
            m_dialogs.message(this, QStringLiteral("音量设置已经修改，是否保存？"), Dialogs::Buttons::YesNo,
                              Dialogs::Icon::Question, QStringLiteral("提示"), Dialogs::Answer::No);
        if (answer == Dialogs::Answer::Yes) {
            Command11->setEnabled(false);
            if (!SaveVolume()) {
                // Nothing was written: keep the dialog and its changes so the operator can
                // decide again after reading the message.
                Command11->setEnabled(true);
                return;
            }
        }
    }
    hide();
    emit closed();
}

void Form2::closeEvent(QCloseEvent *event) {
    // The dialog is only ever hidden, so that the main window comes back and nothing, the
    // program least of all, ends with it.
    event->ignore();
    closeDialog();
}

void Form2::turnMarquee() {
    MarqueeText = marquee::turnedLeft(MarqueeText);
    Label2->setText(MarqueeText);
}

void Form2::mousePressEvent(QMouseEvent *event) {
    m_drag.press(*event);
    event->accept();
}

void Form2::mouseMoveEvent(QMouseEvent *event) {
    emit backgroundMouseMoved();
    m_drag.move(*event);
    event->accept();
}

void Form2::mouseReleaseEvent(QMouseEvent *event) {
    m_drag.release(*event);
    event->accept();
}

void Form2::paintEvent(QPaintEvent *event) {
    QPainter p(this);
    p.setClipRegion(event->region());
    pictures::drawVolumeBackground(p, size());
}
