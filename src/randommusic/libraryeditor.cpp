// The library editor's controls, the loading and saving of libraries, and its buttons.
#include "randommusic/libraryeditor.h"

#include "core/clock.h"
#include "core/recordfile.h"
#include "core/storablepath.h"
#include "core/timetext.h"
#include "randommusic/libraryfiles.h"
#include "randommusic/libraryloading.h"
#include "randommusic/logging.h"
#include "randommusic/musicrules.h"
#include "randommusic/sortedlistbox.h"
#include "ui/named.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <tuple>

namespace {

const QColor LightGreen(192, 255, 192);

// The time a field's texts form, or the time it stood for before when they form none (the
// spinners only ever write two-digit numbers in range, so this is a safeguard).
int timeOf(const TimeEntry *entry, int before) { return timetext::parse(entry->composedText()).value_or(before); }

void setTexts(TimeEntry *entry, const QString &text) {
    entry->hoursText->setText(text);
    entry->minutesText->setText(text);
    entry->secondsText->setText(text);
}

void showTime(TimeEntry *entry, int seconds) { entry->setTime(seconds / 3600, seconds / 60 % 60, seconds % 60); }

}  // namespace

LibraryEditor::LibraryEditor(Dialogs &dialogs, CommonDialog &commonDialog, const QString &appDir,
                             MusicLibraries &libraries, Timer &Timer11, QWidget *parent)
    : QGroupBox(QStringLiteral("随机播放文件列表"), parent), m_dialogs(dialogs), m_CommonDialog1(commonDialog),
      m_appDir(appDir), m_libraries(libraries), m_Timer11(Timer11) {
    build();
    hide();
}

void LibraryEditor::build() {
    setObjectName(QStringLiteral("Frame5"));
    QPalette green = palette();
    green.setColor(QPalette::Window, LightGreen);
    setPalette(green);  // the frames and day boxes take it over
    setAutoFillBackground(true);

    // Sizes in pixels, like the main window the panel lies on: it must fit the main bar
    // whatever font size the desktop prefers.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    m_left = new QWidget(this);
    auto *left = new QVBoxLayout(m_left);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(2);
    auto *tabs = new QHBoxLayout;
    tabs->setSpacing(2);
    for (int i = 0; i < 3; ++i) {
        Label61[i] = new QLabel(musicrules::libraryCaption(i), m_left);
        Label61[i]->setObjectName(QStringLiteral("Label61_%1").arg(i));
        Label61[i]->setAlignment(Qt::AlignCenter);
        Label61[i]->setMargin(1);
        Label61[i]->installEventFilter(this);
        tabs->addWidget(Label61[i]);
    }
    tabs->addStretch();
    left->addLayout(tabs);
    List2 = named(new SortedListBox(m_left), "List2");
    List2->setMinimumHeight(40);
    left->addWidget(List2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    Command23 = named(new QPushButton(QStringLiteral("添加"), m_left), "Command23");
    Command24 = named(new QPushButton(QStringLiteral("删除"), m_left), "Command24");
    Command25 = named(new QPushButton(QStringLiteral("返回"), m_left), "Command25");
    for (QPushButton *b : {Command23, Command24, Command25}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    left->addLayout(buttons);

    m_right = new QWidget(this);
    Frame6 = buildGroup(1, "Frame6", {"Text3", "VScroll12", "Text2", "VScroll11", "Text1", "VScroll10"},
                        {"Text26", "VScroll15", "Text25", "VScroll14", "Text24", "VScroll13"},
                        {"Check2", "Check3", "Check4", "Check5", "Check6", "Check7", "Check8"});
    Frame8 = buildGroup(2, "Frame8", {"Text35", "VScroll24", "Text34", "VScroll23", "Text33", "VScroll22"},
                        {"Text38", "VScroll27", "Text37", "VScroll26", "Text36", "VScroll25"},
                        {"Check16", "Check17", "Check18", "Check19", "Check20", "Check21", "Check22"});
    Frame7 = buildGroup(3, "Frame7", {"Text30", "VScroll19", "Text31", "VScroll20", "Text32", "VScroll21"},
                        {"Text27", "VScroll16", "Text28", "VScroll17", "Text29", "VScroll18"},
                        {"Check15", "Check14", "Check13", "Check12", "Check11", "Check10", "Check9"});
    Frame9 = buildGroup(4, "Frame9", {"Text41", "VScroll30", "Text40", "VScroll29", "Text39", "VScroll28"},
                        {"Text44", "VScroll33", "Text43", "VScroll32", "Text42", "VScroll31"},
                        {"Check23", "Check24", "Check25", "Check26", "Check27", "Check28", "Check29"});
    auto *frames = new QGridLayout(m_right);
    frames->setContentsMargins(0, 0, 0, 0);
    frames->setSpacing(2);
    frames->addWidget(Frame6, 0, 0);
    frames->addWidget(Frame8, 0, 1);
    frames->addWidget(Frame7, 1, 0);
    frames->addWidget(Frame9, 1, 1);

    // The controls' own names (Text…, VScroll…), for the fields built group by group above.
    auto take = [](TimeEntry *e, QLineEdit *&h, Spinner *&hs, QLineEdit *&m, Spinner *&ms, QLineEdit *&s,
                   Spinner *&ss) {
        h = e->hoursText, hs = e->hoursSpinner, m = e->minutesText, ms = e->minutesSpinner, s = e->secondsText,
        ss = e->secondsSpinner;
    };
    take(m_groups[0].start, Text3, VScroll12, Text2, VScroll11, Text1, VScroll10);
    take(m_groups[0].stop, Text26, VScroll15, Text25, VScroll14, Text24, VScroll13);
    take(m_groups[1].start, Text35, VScroll24, Text34, VScroll23, Text33, VScroll22);
    take(m_groups[1].stop, Text38, VScroll27, Text37, VScroll26, Text36, VScroll25);
    take(m_groups[2].start, Text30, VScroll19, Text31, VScroll20, Text32, VScroll21);
    take(m_groups[2].stop, Text27, VScroll16, Text28, VScroll17, Text29, VScroll18);
    take(m_groups[3].start, Text41, VScroll30, Text40, VScroll29, Text39, VScroll28);
    take(m_groups[3].stop, Text44, VScroll33, Text43, VScroll32, Text42, VScroll31);
    auto asTuple = [](const std::array<QCheckBox *, 7> &d) {
        return std::tuple(d[0], d[1], d[2], d[3], d[4], d[5], d[6]);
    };
    std::tie(Check2, Check3, Check4, Check5, Check6, Check7, Check8) = asTuple(m_groups[0].days);
    std::tie(Check16, Check17, Check18, Check19, Check20, Check21, Check22) = asTuple(m_groups[1].days);
    std::tie(Check15, Check14, Check13, Check12, Check11, Check10, Check9) = asTuple(m_groups[2].days);
    std::tie(Check23, Check24, Check25, Check26, Check27, Check28, Check29) = asTuple(m_groups[3].days);

    connect(Command23, &QPushButton::clicked, this, &LibraryEditor::addSongs);      // Command23_Click
    connect(Command24, &QPushButton::clicked, this, &LibraryEditor::deleteSong);    // Command24_Click
    connect(Command25, &QPushButton::clicked, this, &LibraryEditor::returnToMain);  // Command25_Click
    showTab(0);
}

QGroupBox *LibraryEditor::buildGroup(int g, const char *frameName, const TimeEntry::Names &start,
                                     const TimeEntry::Names &stop, const std::array<const char *, 7> &days) {
    auto *frame = named(new QGroupBox(musicrules::groupCaption(g), m_right), frameName);
    frame->setAutoFillBackground(true);  // over the panel's own border where it runs behind
    auto *grid = new QGridLayout(frame);
    grid->setContentsMargins(4, 0, 4, 2);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(0);
    GroupFields &fields = m_groups[g - 1];
    fields.frame = frame;
    fields.start = new TimeEntry(start, {}, frame);
    fields.stop = new TimeEntry(stop, {}, frame);
    // A little lower than elsewhere, so the four frames fit the main bar's height.
    for (TimeEntry *e : {fields.start, fields.stop})
        for (QWidget *w : std::initializer_list<QWidget *>{e->hoursText, e->hoursSpinner, e->minutesText,
                                                           e->minutesSpinner, e->secondsText, e->secondsSpinner})
            w->setFixedHeight(19);
    grid->addWidget(new QLabel(QStringLiteral("开播时间"), frame), 0, 0);
    grid->addWidget(fields.start, 0, 1, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("停播时间"), frame), 1, 0);
    grid->addWidget(fields.stop, 1, 1, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("星期"), frame), 2, 0, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
    const QStringList captions = {"1", "2", "3", "4", "5", "6", QStringLiteral("日")};
    for (int d = 0; d < 7; ++d) {
        fields.days[d] = named(new QCheckBox(captions[d], frame), days[d]);
        grid->addWidget(fields.days[d], 2 + d / 4, 1 + d % 4);
    }
    return frame;
}

// The songs take the part under the caption; the group frames, the panel's whole height at
// its right, beside the caption, so that both rows of frames fit over the main bar.
void LibraryEditor::resizeEvent(QResizeEvent *event) {
    QGroupBox::resizeEvent(event);
    const QRect inner = contentsRect();
    const int margin = 4, gap = 6;
    const int rightWidth = m_right->sizeHint().width();
    m_right->setGeometry(width() - margin - rightWidth, 2, rightWidth, height() - 4);
    m_left->setGeometry(margin, inner.top(), width() - 2 * margin - gap - rightWidth, inner.bottom() - inner.top() - 1);
}

void LibraryEditor::showTab(int i) {
    for (int t = 0; t < 3; ++t)
        Label61[t]->setFrameStyle(t == i ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
    for (int g = 1; g <= 4; ++g)
        m_groups[g - 1].frame->setTitle(musicrules::groupCaption(4 * i + g));
}

bool LibraryEditor::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < 3; ++i) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (watched == Label61[i] && mouse->button() == Qt::LeftButton &&
                Label61[i]->rect().contains(mouse->position().toPoint())) {
                showLibrary(i);  // Label61_Click
                return true;
            }
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

void LibraryEditor::showAsLoaded() {
    // Through the fields in start-up's order, so that they read as that loading leaves them:
    // where library 0 stores no settings, its day boxes keep the ticks of the library before.
    for (int n = MusicLibraries::Count - 1; n >= 0; --n)
        GetSuiJi(n);
    m_libraries.CurrentLibrary = 0;
    List2->setEntries(m_libraries.library[0].songs());
}

void LibraryEditor::open() {
    show();
    raise();
    m_Timer11.setEnabled(false);  // the song that plays goes on; no new one starts meanwhile
}

void LibraryEditor::showLibrary(int i) {
    ReflashSj();
    m_libraries.CurrentLibrary = i;
    GetSuiJi(i);
    LoadSongList(i);
    showTab(i);
}

void LibraryEditor::reloadLibrary(int n) {
    GetSuiJi(n);
    LoadSongList(n);
    if (const int shown = m_libraries.CurrentLibrary; shown != n) {
        GetSuiJi(shown);
        LoadSongList(shown);
    }
}

void LibraryEditor::returnToMain() {
    ReflashSj();
    hide();
}

void LibraryEditor::GetSuiJi(int n) {
    List2->clear();
    const std::optional<std::array<PlayGroup, 4>> stored = libraryloading::readGroups(m_appDir, n);
    if (!stored) {
        // No settings stored: the texts show midnight, while the spinners, the day boxes and
        // the library in memory keep what they had.
        for (GroupFields &f : m_groups) {
            setTexts(f.start, QStringLiteral("00"));
            setTexts(f.stop, QStringLiteral("00"));
        }
        return;
    }
    MusicLibrary &library = m_libraries.library[n];
    for (int g = 0; g < libraryfiles::GroupCount; ++g) {
        const PlayGroup &group = (*stored)[std::size_t(g)];
        GroupFields &f = m_groups[g];
        showTime(f.start, group.start);
        showTime(f.stop, group.stop);
        for (int d = 0; d < 7; ++d) {
            f.days[d]->setChecked(group.days[d] == 1);
            library.groups[g].days[d] = group.days[d];
        }
    }
    for (int g = 0; g < libraryfiles::GroupCount; ++g) {
        PlayGroup &memory = library.groups[g];
        memory.start = timeOf(m_groups[g].start, memory.start);
        memory.stop = timeOf(m_groups[g].stop, memory.stop);
    }
}

void LibraryEditor::ReflashSj() {
    m_Timer11.setEnabled(true);
    const int n = m_libraries.CurrentLibrary;
    MusicLibrary &library = m_libraries.library[n];
    std::array<PlayGroup, 4> groups = library.groups;
    for (int g = 0; g < libraryfiles::GroupCount; ++g) {
        const GroupFields &f = m_groups[g];
        groups[g].start = timeOf(f.start, groups[g].start);
        groups[g].stop = timeOf(f.stop, groups[g].stop);
        for (int d = 0; d < 7; ++d)
            groups[g].days[d] = f.days[d]->isChecked() ? 1 : 0;
    }
    // In force from now on, saved or not: the fields show them and the next check reads them.
    library.groups = groups;

    const QString path = libraryfiles::groupSettingsPath(m_appDir, n);
    // What the file holds beyond the four records is written back as it was, so it is read;
    // a file too large to read that way is left alone.
    RecordFile file(path, libraryfiles::RecordSize);
    Result saved = file.openForReading(RecordFile::Missing::ReadAsEmpty);
    if (saved && file.length() > libraryfiles::MaxGroupFileBytes)
        saved = Result::failure(QStringLiteral("文件大于 %1 KB").arg(libraryfiles::MaxGroupFileBytes / 1024));
    if (saved)
        saved =
            replaceFile(path, libraryfiles::groupSettingsBytes(groups, file.readAll(libraryfiles::MaxGroupFileBytes)));
    if (!saved)
        warnNotSaved(QStringLiteral("随机播放时间设置无法保存"), path, saved.reason());
}

void LibraryEditor::LoadSongList(int n) {
    m_libraries.library[n].setSongs(libraryloading::readSongs(m_appDir, n));
    if (List2->count() == 0) {
        List2->setEntries(m_libraries.library[n].songs());
    } else {
        for (const QString &s : m_libraries.library[n].songs())
            List2->addSorted(s);
    }
}

void LibraryEditor::addSongs() {
    if (List2->count() >= 1000) {
        m_dialogs.message(this, QStringLiteral("曲库超过1000首，请换另一个曲库存储曲目！"), Dialogs::Buttons::Ok,
                          Dialogs::Icon::Exclamation, QStringLiteral("错误"));
        return;
    }
    CommonDialog &dialog = m_CommonDialog1;
    dialog.Filter = QStringLiteral("*.wav|*.wav|*.mid|*.mid|*.mp3|*.mp3|*.mid;*.wav;*.mp3|*.mid;*.wav;*.mp3");
    dialog.MultiSelect = true;
    dialog.FileNames.clear();
    const bool chosen = dialog.ShowOpen();
    dialog.MultiSelect = false;  // the other panels' dialogs choose one file
    if (!chosen)
        return;
    const QStringList chosenSongs =
        dialog.FileNames.isEmpty() ? musicrules::splitMultiSelection(dialog.FileName) : dialog.FileNames;
    // A song whose path the song list cannot keep would play until the next start and then be
    // gone: it is left out and named, and the others are added.
    QStringList added, refused;
    for (const QString &song : chosenSongs) {
        if (const QString problem = storablepath::problem(song, libraryfiles::MaxLineBytes); problem.isEmpty())
            added << song;
        else
            refused << QStringLiteral("%1\n（%2）").arg(song, problem);
    }
    if (!refused.isEmpty()) {
        // A box that still fits the screen when a whole folder is refused.
        constexpr int Named = 10;
        QString text = QStringLiteral("下列 %1 首曲目的路径无法存入曲库文件，没有添加：\n").arg(refused.size()) +
                       refused.mid(0, Named).join(QLatin1Char('\n'));
        if (refused.size() > Named)
            text += QStringLiteral("\n……");
        m_dialogs.message(this, text, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    }
    if (added.isEmpty())
        return;

    QStringList songs = List2->entries() + added;
    std::stable_sort(songs.begin(), songs.end(), musicrules::songLess);
    if (songs.size() > MusicLibrary::MaxSongs) {
        // Nothing is taken rather than songs shown in the list that no file or table holds.
        m_dialogs.message(this, QStringLiteral("曲库超过1000首，请换另一个曲库存储曲目！"), Dialogs::Buttons::Ok,
                          Dialogs::Icon::Exclamation, QStringLiteral("错误"));
        return;
    }
    if (!saveSongs(songs))
        return;
    List2->setEntries(songs);
    const int n = List2->count();
    if (n > 5)
        List2->scrollToItem(List2->item(n - 5), QAbstractItemView::PositionAtTop);
    m_libraries.library[m_libraries.CurrentLibrary].setSongs(songs);
}

void LibraryEditor::deleteSong() {
    const QList<QListWidgetItem *> selected = List2->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = List2->row(selected.first());
    QStringList songs = List2->entries();
    songs.removeAt(row);
    if (!saveSongs(songs))
        return;
    delete List2->takeItem(row);
    m_libraries.library[m_libraries.CurrentLibrary].setSongs(songs);
}

bool LibraryEditor::saveSongs(const QStringList &songs) {
    const QString path = libraryfiles::songListPath(m_appDir, m_libraries.CurrentLibrary);
    // Written whole and put in place of the old file, which stays as it was when this fails.
    if (const Result saved = replaceFile(path, libraryfiles::bytesFromSongs(songs)); !saved) {
        warnNotSaved(QStringLiteral("曲库文件无法保存，曲目没有改变"), path, saved.reason());
        return false;
    }
    return true;
}

void LibraryEditor::warnNotSaved(const QString &what, const QString &path, const QString &reason) {
    qCWarning(lcMusic) << what << path << reason;
    m_dialogs.message(this, QStringLiteral("%1：\n%2\n（%3）").arg(what, path, reason), Dialogs::Buttons::Ok,
                      Dialogs::Icon::Critical);
}
