// The cheap look at a sound file: there, readable, and starting like WAV, MIDI or MP3.
#include "core/soundfilecheck.h"

#include "core/regularfile.h"

namespace soundfilecheck {

bool looksPlayable(QByteArrayView head) {
    if (head.size() >= 12 && head.first(4) == "RIFF" && head.sliced(8, 4) == "WAVE")
        return true;
    if (head.startsWith("MThd") || head.startsWith("ID3"))
        return true;
    // An MPEG audio frame begins with eleven set bits.
    return head.size() >= 2 && quint8(head[0]) == 0xFF && (quint8(head[1]) & 0xE0) == 0xE0;
}

QString problem(const QString &path) {
    if (path.trimmed().isEmpty())
        return QStringLiteral("没有指定声音文件");
    QFile file;
    regularfile::Fault fault;
    if (const Result opened = regularfile::open(path, &file, &fault); !opened) {
        switch (fault) {
        case regularfile::Fault::Missing: return QStringLiteral("找不到此文件");
        case regularfile::Fault::NotAFile: return regularfile::notAFile();
        default: return QStringLiteral("此文件无法读取：") + opened.reason();
        }
    }
    const QByteArray head = file.read(12);
    if (head.isEmpty())
        return QStringLiteral("此文件是空的");
    if (!looksPlayable(head))
        return QStringLiteral("此文件不是可以播放的 WAV、MIDI 或 MP3 文件");
    return {};
}

}  // namespace soundfilecheck
