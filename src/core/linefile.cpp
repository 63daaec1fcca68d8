// CR LF text files, read whole and replaced whole.
#include "core/linefile.h"

#include "core/gbk.h"
#include "core/recordfile.h"

namespace linefile {

QStringList parse(const QByteArray &bytes) {
    QStringList lines;
    if (bytes.isEmpty())
        return lines;
    QList<QByteArray> raw = bytes.split('\n');
    if (raw.last().isEmpty())
        raw.removeLast();  // the end of the last line is not a line of its own
    for (QByteArray &line : raw) {
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(gbk::decode(line));
    }
    return lines;
}

Result read(const QString &path, QStringList *lines) {
    lines->clear();
    QByteArray all;
    if (Result r = readWholeFile(path, &all, MaxFileBytes); !r)
        return r;
    *lines = parse(all);
    return Result::success();
}

Result write(const QString &path, const QStringList &lines) {
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += gbk::encode(line);
        bytes += "\r\n";
    }
    return replaceFile(path, bytes);
}

}  // namespace linefile
