// SoundFileWatch: the sound files of a shown list, looked at off the UI thread whenever the
// list changes and once a minute, so a file that will not play is shown before its time comes.
#pragma once
#include <QHash>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <memory>

class QAbstractItemModel;
class Clock;
class Timer;

class SoundFileWatch : public QObject {
    Q_OBJECT
public:
    // Receives, on the UI thread, every listed file that will not play with the reason, after
    // each check; it changes nothing when nothing has changed.
    using Show = std::function<void(const QHash<QString, QString> &problems)>;
    static constexpr int IntervalMs = 60000;

    // The files are the display texts of the model's column. The watch follows the model's
    // changes of those texts by itself; a new list shows its problems as soon as they are known.
    SoundFileWatch(Clock &clock, QAbstractItemModel &model, int column, Show show, QObject *parent = nullptr);
    // Waits for a check under way (a few file looks) before going.
    ~SoundFileWatch() override;

    // A check, once the present event is over: a list filled row by row asks once per row.
    void requestCheck();
    // Runs the check asked for, if any, waits for it and shows its result.
    void settle();

private:
    struct Pending;
    void startIfWanted();
    void deliver();

    QAbstractItemModel &m_model;
    const int m_column;
    Show m_show;
    Timer *m_timer;
    QThreadPool m_pool;  // one thread: checks never overlap
    std::shared_ptr<Pending> m_pending;
    bool m_wanted = false;
    bool m_startQueued = false;
    bool m_running = false;
};
