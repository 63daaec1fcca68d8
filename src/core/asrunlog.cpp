// The log that keeps nothing, and the texts of the playback lines.
#include "core/asrunlog.h"

namespace {
class DiscardLog : public AsRunLog {
public:
    void record(const QString &) override {}
};
}  // namespace

AsRunLog &AsRunLog::discard() {
    static DiscardLog log;
    return log;
}

namespace asrun {

QString started(Start kind, const QString &file, int volume) {
    const QString how = kind == Start::Scheduled ? QStringLiteral("定时")
                        : kind == Start::Random  ? QStringLiteral("随机")
                                                 : QStringLiteral("手动");
    const QString level = volume < 0 ? QStringLiteral("音量未设") : QStringLiteral("音量 %1").arg(volume);
    return QStringLiteral("开始播放 %1 %2 %3").arg(how, file, level);
}

QString playedToEnd(const QString &file) { return QStringLiteral("播放结束 %1 播完").arg(file); }
QString cut(const QString &file, const QString &why) { return QStringLiteral("播放结束 %1 %2").arg(file, why); }
QString couldNotPlay(const QString &file, const QString &reason) {
    return QStringLiteral("播放结束 %1 无法播放：%2").arg(file, reason.isEmpty() ? QStringLiteral("原因不明") : reason);
}
QString byLaterStart() { return QStringLiteral("被新的播放打断"); }
QString byOperator() { return QStringLiteral("被操作员停止"); }
QString afterPlayLength() { return QStringLiteral("播放时间到，停止"); }

}  // namespace asrun
