// The command line of a command from elsewhere, and the status it reports.
#include "app/remotecommand.h"

#include "app/singleinstance.h"
#include "core/timetext.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace remotecommand {

namespace {

const QString Usage = QStringLiteral("用法：tollmere --play 声音文件 | --stop | --status [--json]");

QJsonObject itemJson(int row, const TodayItem &item) {
    return {{"row", row},
            {"second", item.StartTime},
            {"start", timetext::shortTime(item.StartTime)},
            {"name", item.ItemName},
            {"length", timetext::lengthText(item.PlayLength)},
            {"file", item.SoundFile}};
}

QString itemText(const QJsonObject &item) {
    return QStringLiteral("第 %1 项 %2 %3 %4")
        .arg(QString::number(item["row"].toInt()), item["start"].toString(), item["name"].toString(),
             item["file"].toString());
}

}  // namespace

bool isCommand(const QStringList &args) {
    return args.contains("--play") || args.contains("--stop") || args.contains("--status");
}

int run(const QStringList &args, const QString &appDir, QTextStream &out, QTextStream &err) {
    QJsonObject command;
    QStringList rest = args;
    const bool json = rest.removeAll("--json") > 0;
    if (rest.size() == 2 && rest[0] == "--play" && !json)
        command = {{"command", "play"}, {"file", QFileInfo(rest[1]).absoluteFilePath()}};
    else if (rest == QStringList{"--stop"} && !json)
        command = {{"command", "stop"}};
    else if (rest == QStringList{"--status"})
        command = {{"command", "status"}};
    if (command.isEmpty()) {
        err << Usage << Qt::endl;
        return Refused;
    }
    const std::optional<QJsonObject> reply = SingleInstance(appDir).sendCommand(command);
    if (!reply) {
        err << QStringLiteral("本文件夹中没有正在运行的广播程序：") << appDir << Qt::endl;
        return NoProgram;
    }
    if (reply->isEmpty()) {
        err << QStringLiteral("广播程序没有应答：") << appDir << Qt::endl;
        return NoAnswer;
    }
    const bool ok = (*reply)["ok"].toBool();
    if (!ok)
        err << (*reply)["message"].toString() << Qt::endl;
    else if (json)
        out << QJsonDocument((*reply)["status"].toObject()).toJson(QJsonDocument::Indented);
    else if (reply->contains("status"))
        out << statusText((*reply)["status"].toObject());
    else
        out << (*reply)["message"].toString() << Qt::endl;
    return ok ? Done : Refused;
}

QJsonObject status(const TodayList &list, const FlexGrid &grid, const PlaybackState &playback, const QDateTime &now,
                   std::optional<bool> clockSynchronised) {
    const int second = now.time().msecsSinceStartOfDay() / 1000;
    QJsonArray items;
    QJsonValue next;
    int nextStart = timetext::SecondsPerDay;
    for (int row = 1; row <= list.count(); ++row) {
        const TodayItem &item = *list.item(row);
        QJsonObject o = itemJson(row, item);
        const bool marked = todaygrid::isMarked(grid, row);
        o["marked"] = marked;  // played already, or switched off
        items.append(o);
        if (!marked && item.StartTime > second && item.StartTime < nextStart) {
            next = itemJson(row, item);
            nextStart = item.StartTime;
        }
    }
    return {{"time", now.toString(Qt::ISODate)},
            {"list", list.path},
            {"items", items},
            {"next", next},
            {"playing", playback.PlayerBusy ? QJsonValue(playback.CurrentFile) : QJsonValue()},
            {"clockSynchronised", clockSynchronised ? QJsonValue(*clockSynchronised) : QJsonValue()}};
}

QString statusText(const QJsonObject &s) {
    const QJsonValue synced = s["clockSynchronised"];
    QString text = QStringLiteral("时间：%1\n系统时钟：%2\n正在播放：%3\n下一项：%4\n今日列表：%5（%6 项）\n")
                       .arg(s["time"].toString().replace('T', ' '),
                            synced.isBool() ? (synced.toBool() ? QStringLiteral("已同步") : QStringLiteral("未同步"))
                                            : QStringLiteral("未知"),
                            s["playing"].isString() ? s["playing"].toString() : QStringLiteral("无"),
                            s["next"].isObject() ? itemText(s["next"].toObject()) : QStringLiteral("无"),
                            s["list"].toString(), QString::number(s["items"].toArray().size()));
    for (const QJsonValue &v : s["items"].toArray()) {
        const QJsonObject item = v.toObject();
        text += QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                    .arg(item["marked"].toBool() ? todaygrid::playedMark() : QStringLiteral(" "),
                         QString::number(item["row"].toInt()).rightJustified(3), item["start"].toString(),
                         item["name"].toString(), item["length"].toString(), item["file"].toString());
    }
    return text;
}

}  // namespace remotecommand
