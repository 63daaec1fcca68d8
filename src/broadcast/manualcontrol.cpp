// Grid clicks, the 停播/恢复 toggle and the path strip.
#include "broadcast/manualcontrol.h"

#include "broadcast/filetype.h"
#include "broadcast/mciplayer.h"
#include "broadcast/mp3button.h"
#include "broadcast/mp3player.h"
#include "broadcast/statustexts.h"
#include "core/clock.h"
#include "core/timetext.h"
#include "ui/flexgrid.h"

#include <QLabel>
#include <QPushButton>

namespace {
const QString SwitchOff = QStringLiteral("停播");
const QString SwitchOn = QStringLiteral("恢复");
}  // namespace

ManualControl::ManualControl(ManualParts parts, PlaybackState &state, const TodayList &list, QObject *parent)
    : QObject(parent), m_p(std::move(parts)), m_state(state), m_list(list) {
    FlexGrid *grid = m_p.MSFlexGrid1;
    connect(grid, &FlexGrid::Click, this, &ManualControl::prepareRow);        // MSFlexGrid1_Click
    connect(grid, &FlexGrid::DblClick, this, &ManualControl::toggleRowMark);  // MSFlexGrid1_DblClick
    connect(grid, &FlexGrid::MouseDown, this, [this] { m_p.Picture1->show(); });
    connect(grid, &FlexGrid::MouseUp, this, [this] { m_p.Picture1->hide(); });
    connect(grid, &FlexGrid::MouseMove, this, [this] {
        if (m_p.resetIdle)
            m_p.resetIdle();
    });
    connect(m_p.Command19, &QPushButton::clicked, this, &ManualControl::toggleMarkAndScroll);  // Command19_Click
}

void ManualControl::prepareRow() {
    const int r = m_p.MSFlexGrid1->Row();
    const TodayItem *item = m_list.item(r);
    if (!item)
        return;  // only the header row: nothing to prepare
    m_p.Label19->setText(m_p.MSFlexGrid1->TextMatrix(r, todaygrid::FileColumn));
    m_p.Label26->setText(statustexts::playingFile(item->SoundFile));
    m_state.CurrentFile = item->SoundFile;
    const AsRunLog::StopReason why(*m_p.asRun, asrun::byOperator());
    MciPlayer &mci = *m_p.mci;
    mci.setCommand(QStringLiteral("stop"));
    mci.setCommand(QStringLiteral("close"));
    const QString type = fileType(m_state.CurrentFile);
    // A file played by hand plays to its end: a count left running from a scheduled item must
    // not cut it. A row of any other type prepares nothing to play and leaves the MP3 player
    // alone, so a timed MP3 item sounding there keeps its count and is stopped after its length.
    if (type == QLatin1String("WAV") || type == QLatin1String("MID") || type == QLatin1String("MP3"))
        m_p.Timer5->setEnabled(false);
    if (type == QLatin1String("WAV") || type == QLatin1String("MID")) {
        mci.setDeviceType(type == QLatin1String("WAV") ? QStringLiteral("WaveAudio") : QStringLiteral("Sequencer"));
        m_p.Command21->hide();
        m_p.mp3->Stop();
        m_p.Command21->setPlaying(false);
    } else if (type == QLatin1String("MP3")) {
        m_p.Command21->show();
        m_p.Command21->setPlaying(false);
        m_p.mp3->Stop();
        m_state.SongLengthShown = 0;
        m_state.CurrentItem = r;
    }
    mci.setFileName(m_state.CurrentFile);
    mci.setCommand(QStringLiteral("open"));
    m_p.Command19->setText(todaygrid::isMarked(*m_p.MSFlexGrid1, r) ? SwitchOn : SwitchOff);
}

void ManualControl::toggleRowMark() { toggleMark(m_p.MSFlexGrid1->Row()); }

void ManualControl::toggleMarkAndScroll() {
    const int r = m_p.MSFlexGrid1->Row();
    toggleMark(r);
    m_p.MSFlexGrid1->setTopRow(r);
}

void ManualControl::toggleMark(int row) {
    if (row < 1 || row >= m_p.MSFlexGrid1->Rows())
        return;
    const bool switchOff = m_p.Command19->text() == SwitchOff;
    m_p.MSFlexGrid1->setTextMatrix(row, todaygrid::MarkColumn, switchOff ? todaygrid::playedMark() : QString());
    // A bell switched off by hand is the commonest reason it did not ring.
    if (const TodayItem *item = m_list.item(row))
        m_p.asRun->record({QStringLiteral("mark"),
                           QStringLiteral("%1 第 %2 项 %3 %4")
                               .arg(switchOff ? SwitchOff : SwitchOn, QString::number(row),
                                    timetext::shortTime(item->StartTime), item->SoundFile),
                           item->ItemName, item->SoundFile, item->StartTime});
    m_p.Command19->setText(switchOff ? SwitchOn : SwitchOff);
}
