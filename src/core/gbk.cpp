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

constexpr int FirstLead = 0x81, LastLead = 0xFE, FirstTrail = 0x40, LastTrail = 0xFE;
constexpr int Trails = LastTrail - FirstTrail + 1;

// One GBK character: its two bytes, or -1 where they are no pair of code page 936's ranges.
int pairIndex(unsigned char lead, unsigned char trail) {
    if (!isLeadByte(lead) || trail < FirstTrail || trail > LastTrail)
        return -1;
    return (lead - FirstLead) * Trails + (trail - FirstTrail);
}

// Every two-byte GBK character decoded once by iconv, so reading a long list never calls iconv
// per character. iconv is given a lead byte's whole row of pairs at a time: a call per pair
// cost milliseconds at every start-up whose files hold Chinese text.
struct DecodeTable {
    std::vector<char16_t> units =
        std::vector<char16_t>(std::size_t((LastLead - FirstLead + 1) * Trails), 0);  // 0: none

    DecodeTable() {
        iconv_t cd = iconv_open("UTF-16LE", "GBK");
        if (cd == reinterpret_cast<iconv_t>(-1))
            return;  // no GBK here: only ASCII converts, the rest reads and writes as "?"
        for (int lead = FirstLead; lead <= LastLead; ++lead)
            decodeRow(cd, lead);
        iconv_close(cd);
    }

    void decodeRow(iconv_t cd, int lead) {
        char row[2 * Trails];
        for (int t = 0; t < Trails; ++t) {
            row[2 * t] = char(lead);
            row[2 * t + 1] = char(FirstTrail + t);
        }
        char16_t *const out = &units[std::size_t((lead - FirstLead) * Trails)];
        int t = 0;
        while (t < Trails) {
            char *in = row + 2 * t;
            size_t inLeft = size_t(2 * (Trails - t));
            char16_t u[Trails];
            char *o = reinterpret_cast<char *>(u);
            size_t outLeft = sizeof u;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const bool stopped = iconv(cd, &in, &inLeft, &o, &outLeft) == size_t(-1);
            const auto taken = in - (row + 2 * t);
            const int pairs = int(taken / 2), made = int(reinterpret_cast<char16_t *>(o) - u);
            // GBK holds only characters of the basic plane, one UTF-16 unit a pair; should this
            // iconv ever answer otherwise, the rest of the row is taken a pair at a time.
            if (taken % 2 != 0 || made != pairs) {
                for (; t < Trails; ++t)
                    out[t] = decodePair(cd, row + 2 * t);
                return;
            }
            for (int k = 0; k < pairs; ++k)
                out[t + k] = u[k] >= 0x80 ? u[k] : char16_t(0);
            t += pairs;
            if (stopped)
                ++t;  // the pair iconv would not convert: no character
        }
    }

    static char16_t decodePair(iconv_t cd, char *pair) {
        char *in = pair;
        size_t inLeft = 2;
        char16_t u[2] = {0, 0};
        char *o = reinterpret_cast<char *>(u);
        size_t outLeft = sizeof u;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &in, &inLeft, &o, &outLeft) == size_t(-1) || outLeft != 2 || u[0] < 0x80)
            return 0;
        return u[0];
    }
};

// The way back, from the decode table, built at the first text written: most runs only read.
struct EncodeTable {
    std::vector<quint16> codes = std::vector<quint16>(65536, 0);  // code unit → lead × 256 + trail; 0: none

    explicit EncodeTable(const DecodeTable &decode) {
        for (int lead = FirstLead; lead <= LastLead; ++lead) {
            for (int trail = FirstTrail; trail <= LastTrail; ++trail) {
                const char16_t u = decode.units[std::size_t(pairIndex(uchar(lead), uchar(trail)))];
                if (u != 0 && codes[u] == 0)
                    codes[u] = quint16(lead * 256 + trail);
            }
        }
    }
};

// Built at the first character beyond ASCII, so a program whose files hold only ASCII never
// spends the time on it.
const DecodeTable &decodeTable() {
    static const DecodeTable t;
    return t;
}

const EncodeTable &encodeTable() {
    static const EncodeTable t(decodeTable());
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
        } else if (const quint16 code = encodeTable().codes[u]) {
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
        const int pair = i + 1 < n ? pairIndex(b, in[i + 1]) : -1;
        const char16_t u = pair >= 0 ? decodeTable().units[std::size_t(pair)] : char16_t(0);
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
