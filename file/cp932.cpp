#include "file/cp932.h"

#include "file/hugepages.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include <iconv.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr char16_t kEscapeBase = 0xDC00;
// Pair-table rows: row 0 stays empty and serves every byte that starts no pair.
constexpr int kMaxRows = 64;
// No code ends in 0xFF, so this can never be a real code.
constexpr quint16 kNoCode = 0xFFFF;
// A noncharacter, so no byte or pair decodes to it.
constexpr char16_t kNoChar = 0xFFFF;
// Every lead byte lies in 0x81..0x9F or 0xE0..0xFC, the ranges the block
// decoder tests with two compares each.
constexpr bool inLeadRange(int b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr char kUtf16[] = "UTF-16LE";
#else
constexpr char kUtf16[] = "UTF-16BE";
#endif

// Single bytes Windows maps and glibc's CP932 refuses; they are mapped both ways.
struct WindowsOnlyByte
{
    uchar byte;
    char16_t ch;
};
constexpr WindowsOnlyByte kWindowsOnly[] = {
        {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3},
};

class Converter
{
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from))
    {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv_open's own failure value
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            qFatal("cp932: iconv cannot convert from %s to %s: %s", from, to, strerror(errno));
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // Converts `size` bytes of items `itemSize` bytes long, stepping over each
    // item iconv refuses; `accepted` tells which items converted. Returns the
    // output of the accepted items, in order.
    QByteArray convertItems(const char *in, size_t size, size_t itemSize,
                            std::vector<bool> &accepted) const
    {
        accepted.assign(size / itemSize, true);
        QByteArray out(qsizetype(size * 2), Qt::Uninitialized);
        char *inPos = const_cast<char *>(in);
        size_t inLeft = size;
        char *outPos = out.data();
        auto outLeft = size_t(out.size());
        // Short chunks: after an error in a two-step conversion glibc converts
        // the chunk again from its start, which made one call over all of
        // Unicode take a quarter of a second.
        while (inLeft > 0) {
            size_t chunkLeft = std::min(inLeft, kChunkItems * itemSize);
            inLeft -= chunkLeft;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
            while (iconv(m_cd, &inPos, &chunkLeft, &outPos, &outLeft) == size_t(-1)) {
                const auto at = size_t(inPos - in);
                // EINVAL: the input ends inside a sequence, as a lone lead byte does.
                if ((errno != EILSEQ && errno != EINVAL) || at % itemSize != 0)
                    qFatal("cp932: iconv failed building the tables at input byte %zu: %s", at,
                           strerror(errno));
                accepted[at / itemSize] = false;
                inPos += itemSize;
                chunkLeft -= itemSize;
            }
        }
        out.truncate(outPos - out.data());
        return out;
    }

private:
    static constexpr size_t kChunkItems = 16;
    iconv_t m_cd;
};

// The whole mapping, read from iconv once so that conversion runs on plain
// table look-ups.
struct Tables
{
    Tables();
    bool isLead(uchar b) const { return row[b] != 0; }

    // Each byte read on its own: its character, or its escape.
    std::array<char16_t, 256> single;
    // Row of each lead byte in `pairs`, 0 for the other bytes.
    std::array<uchar, 256> row{};
    // Character of each lead/trail pair by the lead byte's row; 0 where the
    // pair is not assigned (no pair decodes to U+0000).
    std::array<std::array<char16_t, 256>, kMaxRows> pairs{};
    // What a byte b0 followed by b1 starts, indexed by b0 | b1 << 8 (a
    // little-endian load of the two bytes): the pair's character if b0 is in
    // the lead ranges, else b0's own character. kNoChar where b0 is in the
    // lead ranges but b0, b1 is no assigned pair.
    std::array<char16_t, 0x10000> starts;

private:
    void readSingles(const Converter &toUtf16);
    void readPairs(const Converter &toUtf16);
    void fillStarts();
};

// The way back, built on the first encode: reading an outline never needs
// it, and it is most of the time building the tables takes.
struct Codes
{
    explicit Codes(const Tables &t);

    // Code of each UTF-16 unit (a single byte below 0x100), kNoCode if none.
    std::array<quint16, 0x10000> of;
    // Units whose code reads back as the unit itself wherever it stands: not
    // the escapes, whose byte can join a neighbour, nor a character written
    // with a code that reads as another one.
    std::array<bool, 0x10000> exact{};
};

Tables::Tables()
{
    const Converter toUtf16(kUtf16, "CP932");
    readSingles(toUtf16);
    readPairs(toUtf16);
    fillStarts();
}

void Tables::readSingles(const Converter &toUtf16)
{
    // One byte at a time: in a run of bytes iconv would read lead/trail pairs.
    std::vector<bool> accepted;
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const QByteArray out = toUtf16.convertItems(&byte, 1, 1, accepted);
        single[b] = accepted[0] && out.size() == 2
                ? *reinterpret_cast<const char16_t *>(out.constData())
                : char16_t(kEscapeBase + b);
    }
    for (const WindowsOnlyByte &w : kWindowsOnly)
        single[w.byte] = w.ch;
}

void Tables::readPairs(const Converter &toUtf16)
{
    // Every byte that is no character on its own is tried as a lead byte with
    // all 256 trail bytes, all candidates in one buffer.
    std::vector<uchar> leads;
    for (int b = 0; b < 256; ++b) {
        if (single[b] == kEscapeBase + b)
            leads.push_back(uchar(b));
    }
    QByteArray bytes(qsizetype(leads.size() * 512), Qt::Uninitialized);
    char *pos = bytes.data();
    for (const uchar lead : leads) {
        for (int trail = 0; trail < 256; ++trail) {
            *pos++ = char(lead);
            *pos++ = char(trail);
        }
    }
    std::vector<bool> accepted;
    const QByteArray out =
            toUtf16.convertItems(bytes.constData(), size_t(bytes.size()), 2, accepted);
    if (size_t(out.size()) != 2 * size_t(std::count(accepted.begin(), accepted.end(), true)))
        qFatal("cp932: iconv did not read one character per byte pair");
    const auto *units = reinterpret_cast<const char16_t *>(out.constData());

    int rows = 1;
    for (size_t i = 0; i < leads.size(); ++i) {
        const auto first = accepted.begin() + qsizetype(i * 256);
        if (std::find(first, first + 256, true) == first + 256)
            continue; // no assigned pair: the byte stays escaped
        if (rows == kMaxRows)
            qFatal("cp932: more lead bytes than the pair table holds");
        for (int trail = 0; trail < 256; ++trail) {
            if (first[trail])
                pairs[rows][trail] = *units++;
        }
        row[leads[i]] = uchar(rows);
        ++rows;
    }
}

Codes::Codes(const Tables &t)
{
    of.fill(kNoCode);
    // iconv's output needs no separators: a lead byte says its code is two bytes.
    std::vector<char16_t> units;
    units.reserve(0x10000 - 0x800);
    for (char32_t u = 0; u < 0x10000; ++u) {
        if (!QChar::isSurrogate(u))
            units.push_back(char16_t(u));
    }
    const Converter toCp932("CP932", kUtf16);
    std::vector<bool> accepted;
    const QByteArray out = toCp932.convertItems(reinterpret_cast<const char *>(units.data()),
                                                units.size() * 2, 2, accepted);
    const auto *pos = reinterpret_cast<const uchar *>(out.constData());
    const auto *const end = pos + out.size();
    for (size_t i = 0; i < units.size(); ++i) {
        if (!accepted[i])
            continue;
        if (pos == end || (t.isLead(*pos) && end - pos < 2))
            qFatal("cp932: iconv wrote fewer codes than characters");
        of[units[i]] = t.isLead(*pos) ? quint16(pos[0] << 8 | pos[1]) : pos[0];
        pos += t.isLead(*pos) ? 2 : 1;
    }
    if (pos != end)
        qFatal("cp932: iconv wrote more codes than characters");

    for (const WindowsOnlyByte &w : kWindowsOnly)
        of[w.ch] = w.byte;
    for (int b = 0x80; b < 0x100; ++b)
        of[kEscapeBase + b] = quint16(b);

    for (char32_t u = 0; u < 0x10000; ++u) {
        const quint16 code = of[u];
        if (code == kNoCode || (u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF))
            continue;
        exact[u] = code < 0x100 ? !t.isLead(uchar(code)) && t.single[code] == u
                                : t.pairs[t.row[code >> 8]][code & 0xFF] == u;
    }
}

void Tables::fillStarts()
{
    for (int b0 = 0; b0 < 0x100; ++b0) {
        if (!inLeadRange(b0) && isLead(uchar(b0)))
            qFatal("cp932: lead byte %02X outside the lead ranges", b0);
        for (int b1 = 0; b1 < 0x100; ++b1) {
            const char16_t pair = pairs[row[b0]][b1];
            starts[b0 | b1 << 8] = !inLeadRange(b0) ? single[b0] : pair ? pair : kNoChar;
        }
    }
}

const Tables &tables()
{
    static const Tables instance;
    return instance;
}

const Codes &codes()
{
    static const Codes instance(tables());
    return instance;
}

// One character from `in`, the way decode() reads every byte the block
// decoder leaves to it.
inline void decodeOne(const Tables &t, const uchar *&in, char16_t *&out)
{
    const uchar b = in[0];
    const uchar row = t.row[b];
    const char16_t pair = row ? t.pairs[row][in[1]] : 0;
    *out++ = pair ? pair : t.single[b];
    in += pair ? 2 : 1;
}

#ifdef __SSE2__
// Decodes the 16 bytes at `in`, and the trail of a pair that starts in the
// last of them, as if each lead-range byte that starts a character started an
// assigned pair; where one does not, a kNoChar is written in its place. in[16]
// must be readable and `out` must have room for 16 units.
//
// Which bytes start a character follows from the lead-range mask alone:
// each run of lead-range bytes starts a character (the byte before it is no
// lead), and within the run every other byte is a lead and the rest trails.
// So the positions come from a few bit operations instead of a chain of
// dependent table look-ups, and all 16 look-ups are done without branches;
// a look-up at a trail is overwritten by the character after it.
inline void decodeBlock(const Tables &t, const uchar *&in, char16_t *&out)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in));
    // Signed compares: 0x81..0x9F shifted to -128..-98, 0xE0..0xFC to -128..-100.
    const __m128i low =
            _mm_cmplt_epi8(_mm_sub_epi8(v, _mm_set1_epi8(0x01)), _mm_set1_epi8(char(0x9F)));
    const __m128i high =
            _mm_cmplt_epi8(_mm_sub_epi8(v, _mm_set1_epi8(0x60)), _mm_set1_epi8(char(0x9D)));
    const uint inRange = uint(_mm_movemask_epi8(_mm_or_si128(low, high)));

    const uint runStarts = inRange & ~(inRange << 1);
    // Adding a run's lowest bit carries through the run and clears it.
    const uint evenRuns = inRange & ~(inRange + (runStarts & 0x5555u));
    const uint leads = (evenRuns & 0x5555u) | (inRange & ~evenRuns & 0xAAAAu);
    const uint charStarts = ~(leads << 1);

    // Unrolled so that every shift below has a constant count.
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) {
        quint16 index; // x86 is little-endian: in[i] | in[i + 1] << 8
        std::memcpy(&index, in + i, 2);
        *out = t.starts[index];
        out += (charStarts >> i) & 1;
    }
    in += 16 + ((leads >> 15) & 1);
}

bool containsNoChar(const char16_t *from, const char16_t *to)
{
    const __m128i noChar = _mm_set1_epi16(-1);
    __m128i found = _mm_setzero_si128();
    for (; to - from >= 8; from += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from));
        found = _mm_or_si128(found, _mm_cmpeq_epi16(units, noChar));
    }
    return _mm_movemask_epi8(found) != 0 || std::find(from, to, kNoChar) != to;
}

#endif

} // namespace

namespace cp932 {

QString decode(QByteArrayView bytes)
{
    const Tables &t = tables();
    QString text(bytes.size(), Qt::Uninitialized);
    auto *const begin = reinterpret_cast<char16_t *>(text.data());
    preferHugePages(begin, bytes.size() * qsizetype(sizeof(char16_t)));
    char16_t *out = begin;
    const auto *in = reinterpret_cast<const uchar *>(bytes.data());
    const auto *const end = in + bytes.size();
    // Lead-range bytes that start no assigned pair are rare, so a chunk of
    // blocks is decoded as if there were none and done again one character at
    // a time if its output holds a kNoChar. (Checking each block right away
    // means reading what it has just written, which stalls until the stores
    // complete.) The output never runs ahead of the input, so 17 bytes left
    // also leave room for a block's 16 units.
#ifdef __SSE2__
    constexpr int kChunkBlocks = 64;
    while (end - in > 16) {
        const uchar *const chunkIn = in;
        char16_t *const chunkOut = out;
        for (int n = 0; n < kChunkBlocks && end - in > 16; ++n)
            decodeBlock(t, in, out);
        if (containsNoChar(chunkOut, out)) {
            const uchar *const stop = in;
            in = chunkIn;
            out = chunkOut;
            while (in < stop && end - in > 1)
                decodeOne(t, in, out);
        }
    }
#endif
    while (end - in > 1)
        decodeOne(t, in, out);
    if (in != end)
        *out++ = t.single[*in];
    text.truncate(out - begin);
    return text;
}

QByteArray encode(QStringView text)
{
    const Codes &codes = ::codes();
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    char *const begin = bytes.data();
    char *out = begin;
    const char16_t *in = text.utf16();
    const char16_t *const end = in + text.size();
    while (in != end) {
        const char16_t u = *in++;
        const quint16 code = codes.of[u];
        if (code < 0x100) {
            *out++ = char(code);
        } else if (code != kNoCode) {
            *out++ = char(code >> 8);
            *out++ = char(code & 0xFF);
        } else {
            if (QChar::isHighSurrogate(u) && in != end && QChar::isLowSurrogate(*in))
                ++in;
            *out++ = '?';
        }
    }
    bytes.truncate(out - begin);
    return bytes;
}

bool readsBackExactly(QStringView text)
{
    const Codes &codes = ::codes();
    const char16_t *in = text.utf16();
    const char16_t *const end = in + text.size();
    bool exact = true;
    // No early exit: the common text is exact, and a branch-free loop runs faster.
    for (; in != end; ++in)
        exact &= codes.exact[*in];
    return exact;
}

QList<char32_t> unencodable(QStringView text)
{
    QList<char32_t> found;
    QSet<char32_t> seen;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size;) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < size && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            i += 2;
        } else {
            ++i;
        }
        if (!isEncodable(c) && !seen.contains(c)) {
            seen.insert(c);
            found.append(c);
        }
    }
    return found;
}

bool isEncodable(char32_t c)
{
    return c < 0x10000 && codes().of[c] != kNoCode;
}

QString withUnencodableReplaced(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        const bool pair =
                QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pair)
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
        if (isEncodable(c))
            out.append(text.mid(i, pair ? 2 : 1));
        else
            out.append(u'?');
        i += pair ? 1 : 0;
    }
    return out;
}

} // namespace cp932
