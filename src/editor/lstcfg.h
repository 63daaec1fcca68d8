// LstCfg.Cfg: which list file serves which day, one 802-byte record.
#pragma once
#include <QByteArray>
#include <QString>
#include <array>

struct WeekdayListConfig {
    static constexpr int RecordSize = 802;
    static constexpr int PathBytes = 100;
    static constexpr const char *FileName = "LstCfg.Cfg";

    bool SameEveryDay = false;
    std::array<QString, 7> DayPaths;  // Sunday … Saturday
    QString EveryDayPath;

    QByteArray toRecord() const;
    // Only the flag 0xFFFF means one list for every day; paths are decoded and cleaned.
    static WeekdayListConfig fromRecord(const QByteArray &record);
};
