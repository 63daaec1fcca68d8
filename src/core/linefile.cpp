// CR LF text files, read whole and replaced whole.
#include "core/linefile.h"

#include "core/gbk.h"
#include "core/recordfile.h"

#include <QFile>

namespace linefile {

bool read(const QString &path, QStringList *lines, QString *error) {
    lines->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) && !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray all = file.readAll();
    if (all.isEmpty())
        return true;
    QList<QByteArray> raw = all.split('\n');
    if (raw.last().isEmpty())
        raw.removeLast();  // the end of the last line is not a line of its own
    for (QByteArray &line : raw) {
        if (line.endsWith('\r'))
            line.chop(1);
        lines->append(gbk::decode(line));
    }
    return true;
}

bool write(const QString &path, const QStringList &lines, QString *error) {
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += gbk::encode(line);
        bytes += "\r\n";
    }
    const QString why = replaceFile(path, bytes);
    if (error)
        *error = why;
    return why.isEmpty();
}

}  // namespace linefile
