// The one rule every panel applies before it takes a path into a file.
#include "core/storablepath.h"

#include "core/gbk.h"

#include <QStringList>

namespace storablepath {

QString problem(const QString &path, int maxBytes) {
    QStringList lacking;
    bool control = false;
    for (const char32_t c : path.toUcs4()) {
        if (c < 32) {
            control = true;
        } else if (c >= 0x80) {
            const QString one = QString::fromUcs4(&c, 1);
            if (gbk::encode(one) == "?" && !lacking.contains(one))
                lacking << one;
        }
    }
    if (!lacking.isEmpty())
        return QStringLiteral("含有中文编码（GBK）中没有的字符：%1").arg(lacking.join(QLatin1Char(' ')));
    if (control)
        return QStringLiteral("含有控制字符");
    if (path.startsWith(QLatin1Char(' ')) || path.endsWith(QLatin1Char(' ')))
        return QStringLiteral("首尾有空格");
    if (const qsizetype bytes = gbk::encode(path).size(); bytes > maxBytes)
        return QStringLiteral("长 %1 字节，最多只能保存 %2 字节").arg(bytes).arg(maxBytes);
    return {};
}

}  // namespace storablepath
