// The log that keeps nothing, and the texts of the playback lines.
#include "core/asrunlog.h"

#include <algorithm>

namespace {
class DiscardLog : public AsRunLog {
public:
    void record(const AsRunEntry &) override {}
};
}  // namespace

AsRunLog &AsRunLog::discard() {
    static DiscardLog log;
    return log;
}

namespace asrun {

AsRunEntry started(Start kind, const QString &file, int volume, const QString &name, int plannedSecond) {
    const QString how = kind == Start::Scheduled ? QStringLiteral("定时")
                        : kind == Start::Random  ? QStringLiteral("随机")
                        : kind == Start::Remote  ? QStringLiteral("远程")
                                                 : QStringLiteral("手动");
    const QString level = volume < 0 ? QStringLiteral("音量未设") : QStringLiteral("音量 %1").arg(volume);
    return {QStringLiteral("start"),
            QStringLiteral("开始播放 %1 %2 %3").arg(how, file, level),
            name,
            file,
            plannedSecond,
            volume};
}

AsRunEntry playedToEnd(const QString &file) { return cut(file, QStringLiteral("播完")); }
AsRunEntry cut(const QString &file, const QString &why) {
    return {QStringLiteral("end"), QStringLiteral("播放结束 %1 %2").arg(file, why), {}, file, -1, -1};
}
AsRunEntry couldNotPlay(const QString &file, const QString &reason) {
    return cut(file, QStringLiteral("无法播放：") + (reason.isEmpty() ? QStringLiteral("原因不明") : reason));
}
QString byLaterStart() { return QStringLiteral("被新的播放打断"); }
QString byOperator() { return QStringLiteral("被操作员停止"); }
QString afterPlayLength() { return QStringLiteral("播放时间到，停止"); }
QString byRemoteCommand() { return QStringLiteral("被远程命令停止"); }

QString oneLine(const QString &text) {
    const auto special = [](QChar c) {
        return c < QChar(0x20) || (c >= QChar(0x7f) && c < QChar(0xa0)) || c == QChar(0x2028) || c == QChar(0x2029);
    };
    if (std::none_of(text.begin(), text.end(), special))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (!special(c))
            out += c;
        else if (c == u'\n')
            out += QLatin1String("\\n");
        else if (c == u'\r')
            out += QLatin1String("\\r");
        else if (c == u'\t')
            out += QLatin1String("\\t");
        else if (c.unicode() < 0x100)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}

}  // namespace asrun
