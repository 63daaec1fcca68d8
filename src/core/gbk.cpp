// GBK conversion through tables built once from glibc's iconv.
#include "core/gbk.h"

#include <iconv.h>
#include <QList>

#include <vector>

namespace gbk {
namespace {

bool isLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// Code page 936's one single-byte character beyond ASCII.
constexpr unsigned char EuroByte = 0x80;
constexpr char16_t Euro = 0x20AC;

// Every two-byte GBK character, decoded once by iconv and kept both ways, so reading or
// writing a long list never calls iconv per character.
struct Tables {
    std::vector<char16_t> toUnicode = std::vector<char16_t>(65536, 0);  // lead × 256 + trail; 0: none
    std::vector<quint16> toGbk = std::vector<quint16>(65536, 0);        // code unit → lead × 256 + trail

    Tables() {
        iconv_t cd = iconv_open("UTF-16LE", "GBK");
        if (cd == reinterpret_cast<iconv_t>(-1))
            return;  // no GBK here: only ASCII converts, the rest reads and writes as "?"
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                char pair[2] = {char(lead), char(trail)};
                char *in = pair;
                size_t inLeft = 2;
                char16_t u[2] = {0, 0};
                char *out = reinterpret_cast<char *>(u);
                size_t outLeft = sizeof u;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                // GBK holds only characters of the basic plane: one UTF-16 unit each.
                if (iconv(cd, &in, &inLeft, &out, &outLeft) == size_t(-1) || outLeft != 2 || u[0] < 0x80)
                    continue;
                const quint16 code = quint16(lead * 256 + trail);
                toUnicode[code] = u[0];
                if (toGbk[u[0]] == 0)
                    toGbk[u[0]] = code;
            }
        }
        iconv_close(cd);
    }
};

// Built at the first character beyond ASCII, so a program whose files hold only ASCII never
// spends the milliseconds on it.
const Tables &tables() {
    static const Tables t;
    return t;
}

}  // namespace

// Both directions write through raw pointers into buffers sized for the worst case: a
// 32 766-item list goes through here twice per item and field.
QByteArray encode(const QString &text) {
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    char *o = out.data();
    const QChar *in = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = in[i].unicode();
        if (u < 0x80) {
            *o++ = char(u);
        } else if (u == Euro) {
            *o++ = char(EuroByte);
        } else if (QChar::isHighSurrogate(u)) {
            *o++ = '?';  // beyond the basic plane: one character, one "?"
            if (i + 1 < n && in[i + 1].isLowSurrogate())
                ++i;
        } else if (const quint16 code = tables().toGbk[u]) {
            *o++ = char(code >> 8);
            *o++ = char(code & 0xFF);
        } else {
            *o++ = '?';
        }
    }
    out.truncate(o - out.constData());
    return out;
}

QString decode(const QByteArray &bytes, bool *clean) {
    if (clean)
        *clean = true;
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *o = out.data();
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = in[i];
        if (b < 0x80 || b == EuroByte) {
            *o++ = b == EuroByte ? QChar(Euro) : QChar(b);
            ++i;
            continue;
        }
        const char16_t u = isLeadByte(b) && i + 1 < n ? tables().toUnicode[b * 256 + in[i + 1]] : char16_t(0);
        if (u == 0) {
            if (clean)
                *clean = false;
            *o++ = QLatin1Char('?');
            ++i;  // the next byte may start a valid character of its own
            continue;
        }
        *o++ = QChar(u);
        i += 2;
    }
    out.truncate(o - out.constData());
    return out;
}

QByteArray encodeField(const QString &text, int n) {
    // Characters first: a text of n characters or fewer, padded to exactly n.
    QString chars = text.left(n);
    if (chars.size() < n)
        chars.append(QString(n - chars.size(), QLatin1Char(' ')));
    // Cutting to n UTF-16 units could split a surrogate pair; drop a lone high half.
    if (!chars.isEmpty() && chars.back().isHighSurrogate())
        chars.back() = QLatin1Char(' ');
    QByteArray bytes = encode(chars);
    if (bytes.size() <= n)  // shorter only when a character took two UTF-16 units
        return bytes + QByteArray(n - bytes.size(), ' ');
    // Walk whole characters so the cut never lands inside a double-byte character.
    int pos = 0;
    while (pos < n) {
        const int width = isLeadByte(static_cast<unsigned char>(bytes[pos])) ? 2 : 1;
        if (pos + width > n)
            break;
        pos += width;
    }
    return bytes.left(pos) + QByteArray(n - pos, ' ');
}

}  // namespace gbk
