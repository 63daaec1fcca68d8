// GBK conversion through glibc's iconv, with our own recovery from unmappable input.
#include "core/gbk.h"

#include <QList>
#include <iconv.h>

#include <cerrno>
#include <vector>

namespace gbk {
namespace {

// One converter per direction and thread; iconv descriptors keep shift state and are not
// safe to share, and opening one per call would dominate the cost of loading a long list.
class Converter {
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return m_cd; }
    void reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_cd;
};

Converter &toGbk() {
    thread_local Converter c("GBK", "UTF-32LE");
    return c;
}

bool isLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

}  // namespace

QByteArray encode(const QString &text) {
    QByteArray out;
    if (text.isEmpty())
        return out;
    const QList<uint> ucs = text.toUcs4();
    Converter &c = toGbk();
    out.reserve(ucs.size() * 2);
    if (!c.ok()) {  // no GBK tables: keep ASCII, mark the rest
        for (uint u : ucs)
            out.append(u < 0x80 ? char(u) : '?');
        return out;
    }
    c.reset();
    char buf[8];
    for (uint u : ucs) {
        if (u < 0x80) {  // ASCII is the same in GBK; skip the converter for speed
            out.append(char(u));
            continue;
        }
        char *in = reinterpret_cast<char *>(&u);
        size_t inLeft = 4;
        char *o = buf;
        size_t outLeft = sizeof buf;
        if (iconv(c.handle(), &in, &inLeft, &o, &outLeft) == size_t(-1)) {
            c.reset();
            out.append('?');
        } else {
            out.append(buf, int(o - buf));
        }
    }
    return out;
}

// Every two-byte GBK character decoded once, so reading a long list never calls iconv per
// character. Index: lead byte × 256 + trail byte; 0 marks a pair that is not a character.
const std::vector<char16_t> &pairTable() {
    static const std::vector<char16_t> table = [] {
        std::vector<char16_t> t(65536, 0);
        Converter c("UTF-16LE", "GBK");
        if (!c.ok())
            return t;
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                char pair[2] = {char(lead), char(trail)};
                char *in = pair;
                size_t inLeft = 2;
                char16_t u[2] = {0, 0};
                char *o = reinterpret_cast<char *>(u);
                size_t outLeft = sizeof u;
                c.reset();
                // GBK holds only characters of the basic plane: one UTF-16 unit each.
                if (iconv(c.handle(), &in, &inLeft, &o, &outLeft) != size_t(-1) && outLeft == 2)
                    t[lead * 256 + trail] = u[0];
            }
        }
        return t;
    }();
    return table;
}

QString decode(const QByteArray &bytes) {
    QString out;
    out.reserve(bytes.size());
    const std::vector<char16_t> &table = pairTable();
    const int n = int(bytes.size());
    for (int i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.append(QChar(b));
            ++i;
            continue;
        }
        const char16_t u =
            isLeadByte(b) && i + 1 < n ? table[b * 256 + static_cast<unsigned char>(bytes[i + 1])] : char16_t(0);
        if (u == 0) {
            out.append(QLatin1Char('?'));
            ++i;  // the next byte may start a valid character of its own
            continue;
        }
        out.append(QChar(u));
        i += 2;
    }
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
        const auto b = static_cast<unsigned char>(bytes[pos]);
        const int width = isLeadByte(b) ? 2 : 1;
        if (pos + width > n)
            break;
        pos += width;
    }
    QByteArray field = bytes.left(pos);
    field.append(QByteArray(n - pos, ' '));
    return field;
}

}  // namespace gbk
