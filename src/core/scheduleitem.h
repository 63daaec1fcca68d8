// One item of a schedule list: at this time, play this file, for this long or to its end.
#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

struct ScheduleItem {
    int StartTime = 0;   // seconds since midnight
    QString ItemName;    // at most 20 GBK bytes on disk
    int PlayLength = 0;  // seconds; 0 plays the file to its end
    QString SoundFile;   // at most 100 GBK bytes on disk

    static constexpr int RecordSize = 136;
    static constexpr int NameBytes = 20;
    static constexpr int FileBytes = 100;

    // The 136-byte record: start double, name, length double, file.
    QByteArray toRecord() const;
    // Reads a record; fields are decoded from GBK and cleaned. Short input reads as zeros.
    static ScheduleItem fromRecord(const QByteArray &record);
    // Builds an item from the texts of the editor's fields or grid cells; nothing when a
    // time text is not a time. A length of "播完" is zero.
    static std::optional<ScheduleItem> fromTexts(const QString &start, const QString &name, const QString &length,
                                                 const QString &file);

    bool operator==(const ScheduleItem &) const = default;
};
