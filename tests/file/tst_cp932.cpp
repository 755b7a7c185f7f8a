#include "file/cp932.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <limits>
#include <optional>

#include <iconv.h>

using namespace Qt::StringLiterals;

namespace {

// glibc's CP932 converter is the reference: every expectation below comes
// from it, one conversion at a time, apart from the bytes Windows maps and
// iconv refuses.
class Iconv
{
public:
    Iconv(const char *to, const char *from) : m_cd(iconv_open(to, from)) { }
    ~Iconv() { iconv_close(m_cd); }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;
    bool isOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // The whole input converted, or nothing if iconv refuses any of it.
    std::optional<QByteArray> convert(const char *data, qsizetype size) const
    {
        QByteArray out(size * 4 + 16, Qt::Uninitialized);
        char *in = const_cast<char *>(data);
        size_t inLeft = size_t(size);
        char *outPos = out.data();
        size_t outLeft = size_t(out.size());
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(m_cd, &in, &inLeft, &outPos, &outLeft) == size_t(-1))
            return std::nullopt;
        out.truncate(outPos - out.data());
        return out;
    }

private:
    iconv_t m_cd;
};

const Iconv &reader()
{
    static const Iconv cd("UTF-16LE", "CP932");
    return cd;
}

const Iconv &writer()
{
    static const Iconv cd("CP932", "UTF-16LE");
    return cd;
}

std::optional<QString> iconvDecode(QByteArrayView bytes)
{
    const auto out = reader().convert(bytes.data(), bytes.size());
    if (!out)
        return std::nullopt;
    return QString(reinterpret_cast<const QChar *>(out->constData()), out->size() / 2);
}

std::optional<QByteArray> iconvEncode(QStringView text)
{
    return writer().convert(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

struct WindowsOnlyByte
{
    char byte;
    char16_t ch;
};
const WindowsOnlyByte windowsOnly[] = {
        {'\x80', u'\u0080'}, {'\xA0', u'\uF8F0'}, {'\xFD', u'\uF8F1'},
        {'\xFE', u'\uF8F2'}, {'\xFF', u'\uF8F3'},
};

QString escaped(uchar b)
{
    return QString(QChar(0xDC00 + b));
}

// What one byte read on its own must become.
QString expectedSingle(uchar b)
{
    const char byte = char(b);
    if (const auto text = iconvDecode(QByteArrayView(&byte, 1)))
        return *text;
    for (const WindowsOnlyByte &w : windowsOnly) {
        if (w.byte == byte)
            return QString(QChar(w.ch));
    }
    return escaped(b);
}

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(v));
    return bytes;
}

struct Code
{
    QByteArray bytes;
    QString text;
};

} // namespace

class TestCp932 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyByteAndPairAgreesWithIconv();
    void everyBmpCharacterEncodesAsIconv();
    void asciiIsIdentity();
    void namedCharacters_data();
    void namedCharacters();
    void rewrittenDuplicates_data();
    void rewrittenDuplicates();
    void windowsOnlyBytes_data();
    void windowsOnlyBytes();
    void invalidInput_data();
    void invalidInput();
    void randomBytesRoundTrip();
    void unencodableCharacters_data();
    void unencodableCharacters();
    void largeRandomTextMatchesIconv();
    void blocksMatchCharacterByCharacter_data();
    void blocksMatchCharacterByCharacter();

private:
    QList<Code> m_codes; // every code iconv reads as one character
    QSet<uchar> m_leadsWithDuplicates;
};

void TestCp932::initTestCase()
{
    QVERIFY(reader().isOpen());
    QVERIFY(writer().isOpen());

    // The first conversion builds the tables.
    QElapsedTimer timer;
    timer.start();
    const QString first = cp932::decode("\x82\xA0");
    const qint64 nanoseconds = timer.nsecsElapsed();
    QCOMPARE(first, u"あ"_s);
    qInfo("Building the code page 932 tables took %.2f ms", double(nanoseconds) / 1e6);

    for (int b = 0; b < 256; ++b) {
        const QByteArray bytes(1, char(b));
        if (const auto text = iconvDecode(bytes))
            m_codes.append({bytes, *text});
    }
    for (int lead = 0x80; lead < 0x100; ++lead) {
        for (int trail = 0; trail < 0x100; ++trail) {
            const QByteArray bytes = bytesOf({lead, trail});
            const auto text = iconvDecode(bytes);
            if (!text || text->size() != 1)
                continue;
            m_codes.append({bytes, *text});
            if (iconvEncode(*text) != bytes)
                m_leadsWithDuplicates.insert(uchar(lead));
        }
    }
}

void TestCp932::everyByteAndPairAgreesWithIconv()
{
    // Every two-byte string: a pair iconv reads must read the same, anything
    // else reads as its two bytes on their own.
    QString single[0x100];
    for (int b = 0; b < 0x100; ++b)
        single[b] = expectedSingle(uchar(b));
    for (int first = 0; first < 0x100; ++first) {
        for (int second = 0; second < 0x100; ++second) {
            const QByteArray bytes = bytesOf({first, second});
            const auto pair = iconvDecode(bytes);
            const QString expected = pair ? *pair : QString(single[first] + single[second]);
            if (cp932::decode(bytes) != expected)
                QFAIL(qPrintable(
                        u"bytes %1 decode wrongly"_s.arg(QString::fromLatin1(bytes.toHex()))));
        }
    }

    int singles = 0;
    int pairs = 0;
    int rewritten = 0;
    for (const Code &code : std::as_const(m_codes)) {
        QCOMPARE(cp932::decode(code.bytes), code.text);
        const QByteArray written = cp932::encode(code.text);
        QCOMPARE(written, iconvEncode(code.text).value());
        (code.bytes.size() == 1 ? singles : pairs) += 1;
        if (written != code.bytes) {
            ++rewritten;
            QCOMPARE(cp932::decode(written), code.text);
        }
    }
    QCOMPARE(singles, 191);
    QCOMPARE(pairs, 9604);
    QCOMPARE(singles + pairs, 9795);
    QCOMPARE(rewritten, 398);
}

void TestCp932::everyBmpCharacterEncodesAsIconv()
{
    for (char32_t u = 0; u < 0x10000; ++u) {
        if (QChar::isSurrogate(u))
            continue;
        const QString text{QChar(char16_t(u))};
        QByteArray expected = iconvEncode(text).value_or("?"_ba);
        for (const WindowsOnlyByte &w : windowsOnly) {
            if (w.ch == u)
                expected = QByteArray(1, w.byte);
        }
        const bool encodable = expected != "?"_ba || u == U'?';
        if (cp932::encode(text) != expected || cp932::isEncodable(u) != encodable
            || cp932::unencodable(text).isEmpty() != encodable)
            QFAIL(qPrintable(u"U+%1 encodes wrongly"_s.arg(uint(u), 4, 16, QLatin1Char('0'))));
    }
}

void TestCp932::asciiIsIdentity()
{
    QByteArray bytes;
    QString text;
    for (int b = 0; b < 0x80; ++b) {
        bytes.append(char(b));
        text.append(QChar(b));
    }
    QCOMPARE(cp932::decode(bytes), text);
    QCOMPARE(cp932::encode(text), bytes);
}

void TestCp932::namedCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("readsBack");

    QTest::newRow("backslash") << u"\\"_s << "\x5C"_ba << true;
    QTest::newRow("tilde") << u"~"_s << "\x7E"_ba << true;
    QTest::newRow("control SUB") << u"\u001A"_s << "\x1A"_ba << true;
    QTest::newRow("control FS") << u"\u001C"_s << "\x1C"_ba << true;
    QTest::newRow("control DEL") << u"\u007F"_s << "\x7F"_ba << true;
    QTest::newRow("yen sign") << u"\u00A5"_s << "\x5C"_ba << false;
    QTest::newRow("overline") << u"\u203E"_s << "\x7E"_ba << false;
    QTest::newRow("fullwidth tilde") << u"\uFF5E"_s << "\x81\x60"_ba << true;
    QTest::newRow("wave dash") << u"\u301C"_s << "\x81\x60"_ba << false;
    QTest::newRow("fullwidth hyphen-minus") << u"\uFF0D"_s << "\x81\x7C"_ba << true;
    QTest::newRow("minus sign") << u"\u2212"_s << "\x81\x7C"_ba << false;
    QTest::newRow("fullwidth cent sign") << u"\uFFE0"_s << "\x81\x91"_ba << true;
    QTest::newRow("cent sign") << u"\u00A2"_s << "\x81\x91"_ba << false;
    QTest::newRow("pound sign") << u"\u00A3"_s << "\x81\x92"_ba << false;
    QTest::newRow("not sign") << u"\u00AC"_s << "\x81\xCA"_ba << false;
    QTest::newRow("horizontal bar") << u"\u2015"_s << "\x81\x5C"_ba << true;
    QTest::newRow("em dash") << u"\u2014"_s << "\x81\x5C"_ba << false;
    QTest::newRow("parallel to") << u"\u2225"_s << "\x81\x61"_ba << true;
    QTest::newRow("double vertical line") << u"\u2016"_s << "\x81\x61"_ba << false;
    QTest::newRow("ideographic space") << u"\u3000"_s << "\x81\x40"_ba << true;
    QTest::newRow("hiragana") << u"名前付けてね"_s
                              << "\x96\xBC\x91\x4F\x95\x74\x82\xAF\x82\xC4\x82\xCB"_ba << true;
    QTest::newRow("halfwidth katakana") << u"\uFF71"_s << "\xB1"_ba << true;
    QTest::newRow("NEC row 13 circled one") << u"\u2460"_s << "\x87\x40"_ba << true;
    QTest::newRow("IBM extension") << u"\u9AD9"_s << "\xFB\xFC"_ba << true;
    QTest::newRow("user-defined area") << u"\uE000"_s << "\xF0\x40"_ba << true;
    QTest::newRow("mixed line") << u"Sorveka♪ ｱ"_s << "Sorveka\x81\xF4\x20\xB1"_ba << true;
}

void TestCp932::namedCharacters()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, readsBack);

    QCOMPARE(cp932::encode(text), bytes);
    QVERIFY(cp932::unencodable(text).isEmpty());
    if (readsBack)
        QCOMPARE(cp932::decode(bytes), text);
    else
        QVERIFY(cp932::decode(bytes) != text);
}

void TestCp932::rewrittenDuplicates_data()
{
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("NEC-selected IBM first") << "\xED\x40"_ba
                                            << "\xFA\x5C"_ba;
    QTest::newRow("NEC-selected IBM last") << "\xEE\xEC"_ba
                                           << "\xFC\x4B"_ba;
    QTest::newRow("NEC-selected not sign") << "\xEE\xF9"_ba
                                           << "\x81\xCA"_ba;
    QTest::newRow("NEC row 13 approx equal") << "\x87\x90"_ba
                                             << "\x81\xE0"_ba;
    QTest::newRow("IBM roman numeral one") << "\xFA\x4A"_ba
                                           << "\x87\x54"_ba;
    QTest::newRow("IBM not sign") << "\xFA\x54"_ba
                                  << "\x81\xCA"_ba;
    QTest::newRow("IBM because") << "\xFA\x5B"_ba
                                 << "\x81\xE6"_ba;
}

void TestCp932::rewrittenDuplicates()
{
    QFETCH(QByteArray, read);
    QFETCH(QByteArray, written);

    const QString text = cp932::decode(read);
    QCOMPARE(text.size(), 1);
    QCOMPARE(cp932::encode(text), written);
    QCOMPARE(cp932::decode(written), text);
}

void TestCp932::windowsOnlyBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    for (const WindowsOnlyByte &w : windowsOnly) {
        QTest::addRow("byte %02X", uint(uchar(w.byte)))
                << QByteArray("A"_ba + w.byte + "\x82\xA0"_ba)
                << QString(u"A"_s + QChar(w.ch) + u"あ"_s);
    }
}

void TestCp932::windowsOnlyBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    QVERIFY(!iconvDecode(bytes));
    QCOMPARE(cp932::decode(bytes), text);
    QCOMPARE(cp932::encode(text), bytes);
    QVERIFY(cp932::unencodable(text).isEmpty());
}

void TestCp932::invalidInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("lone lead byte") << "\x82"_ba << escaped(0x82);
    QTest::newRow("lead byte at end") << "A\x82"_ba << QString(u"A"_s + escaped(0x82));
    QTest::newRow("lead byte before CR LF") << "\x82\r\n"_ba << QString(escaped(0x82) + u"\r\n"_s);
    QTest::newRow("lead byte before LF") << "\x88\n"_ba << QString(escaped(0x88) + u"\n"_s);
    QTest::newRow("lead byte before DEL") << "\x82\x7F"_ba << QString(escaped(0x82) + u"\u007F"_s);
    QTest::newRow("lead byte before space") << "\x9F "_ba << QString(escaped(0x9F) + u" "_s);
    QTest::newRow("lead byte before a pair")
            << "\x84\x98\x9F"_ba << QString(escaped(0x84) + u"弌"_s);
    QTest::newRow("unassigned pair in a used row")
            << "\x82\xF2"_ba << QString(escaped(0x82) + escaped(0xF2));
    QTest::newRow("past the last code of FC") << "\xFC\x4C"_ba << QString(escaped(0xFC) + u"L"_s);
    QTest::newRow("unassigned lead 85") << "\x85\x40"_ba << QString(escaped(0x85) + u"@"_s);
    QTest::newRow("unassigned lead EB then lead at end")
            << "\xEB\x9F"_ba << QString(escaped(0xEB) + escaped(0x9F));
    QTest::newRow("unassigned lead EF then katakana")
            << "\xEF\xB1"_ba << QString(escaped(0xEF) + u"\uFF71"_s);
    QTest::newRow("lead byte before a Windows-only byte")
            << "\x81\xFD"_ba << QString(escaped(0x81) + u"\uF8F1"_s);
    QTest::newRow("lead byte before 0x80") << "\xFC\x80"_ba << QString(escaped(0xFC) + u"\u0080"_s);
    QTest::newRow("run of lead bytes") << "\x85\x86\xEB\xEF\x81"_ba
                                       << QString(escaped(0x85) + escaped(0x86) + escaped(0xEB)
                                                  + escaped(0xEF) + escaped(0x81));
}

void TestCp932::invalidInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    QVERIFY(!iconvDecode(bytes));
    QCOMPARE(cp932::decode(bytes), text);
    QCOMPARE(cp932::encode(text), bytes);
    QVERIFY(cp932::unencodable(text).isEmpty());
}

void TestCp932::randomBytesRoundTrip()
{
    QVERIFY(!m_leadsWithDuplicates.isEmpty());
    QRandomGenerator random(932);
    // Without the lead bytes of the rewritten duplicates every byte string
    // must come back byte for byte.
    QByteArray alphabet;
    for (int b = 0; b < 0x100; ++b) {
        if (!m_leadsWithDuplicates.contains(uchar(b)))
            alphabet.append(char(b));
    }
    for (int round = 0; round < 5000; ++round) {
        QByteArray bytes(random.bounded(1, 48), Qt::Uninitialized);
        for (char &b : bytes)
            b = alphabet.at(random.bounded(alphabet.size()));
        const QString text = cp932::decode(bytes);
        QVERIFY(cp932::unencodable(text).isEmpty());
        if (cp932::encode(text) != bytes)
            QFAIL(qPrintable(
                    u"bytes %1 do not round-trip"_s.arg(QString::fromLatin1(bytes.toHex()))));
    }
    // Valid text with the duplicates in it reads back as the same text.
    for (int round = 0; round < 5000; ++round) {
        QByteArray bytes;
        for (int i = random.bounded(1, 24); i > 0; --i)
            bytes.append(m_codes.at(random.bounded(m_codes.size())).bytes);
        const QString text = cp932::decode(bytes);
        const QByteArray written = cp932::encode(text);
        if (written.size() != bytes.size() || cp932::decode(written) != text)
            QFAIL(qPrintable(
                    u"bytes %1 do not round-trip"_s.arg(QString::fromLatin1(bytes.toHex()))));
    }
}

void TestCp932::unencodableCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<char32_t>>("unencodable");

    const QChar highSurrogate(0xD83D);
    QTest::newRow("emoji is one question mark") << u"a😀b"_s << "a?b"_ba << QList<char32_t>{0x1F600};
    QTest::newRow("lone high surrogate")
            << QString(u"x"_s + highSurrogate + u"y"_s) << "x?y"_ba << QList<char32_t>{0xD83D};
    QTest::newRow("lone high surrogate at end")
            << QString(u"x"_s + highSurrogate) << "x?"_ba << QList<char32_t>{0xD83D};
    QTest::newRow("low surrogate below the escapes")
            << QString(QChar(0xDC7F)) << "?"_ba << QList<char32_t>{0xDC7F};
    QTest::newRow("low surrogate above the escapes")
            << QString(QChar(0xDD00)) << "?"_ba << QList<char32_t>{0xDD00};
    QTest::newRow("escaped bytes") << QString(escaped(0x85) + escaped(0x80) + escaped(0xFF))
                                   << "\x85\x80\xFF"_ba << QList<char32_t>{};
    QTest::newRow("high surrogate before an escape is a pair")
            << QString(QString(highSurrogate) + escaped(0x85)) << "?"_ba
            << QList<char32_t>{0x1F485};
    QTest::newRow("each character once, in order")
            << u"é€éあ€😀"_s << "???\x82\xA0??"_ba << QList<char32_t>{0xE9, 0x20AC, 0x1F600};
    QTest::newRow("Hangul") << u"한글"_s << "??"_ba << QList<char32_t>{0xD55C, 0xAE00};
    QTest::newRow("question mark itself") << u"?"_s << "?"_ba << QList<char32_t>{};
}

void TestCp932::unencodableCharacters()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QList<char32_t>, unencodable);

    QCOMPARE(cp932::encode(text), bytes);
    QCOMPARE(cp932::unencodable(text), unencodable);
}

void TestCp932::largeRandomTextMatchesIconv()
{
    QRandomGenerator random(4932);
    QByteArray bytes;
    const qsizetype targetSize = 8 * 1024 * 1024;
    bytes.reserve(targetSize + 2);
    while (bytes.size() < targetSize) {
        // Runs of any codes between runs of printable ASCII, as text comes.
        for (int i = random.bounded(1, 40); i > 0; --i)
            bytes.append(m_codes.at(random.bounded(m_codes.size())).bytes);
        for (int i = random.bounded(12); i > 0; --i)
            bytes.append(char(random.bounded(0x20, 0x7F)));
        if (random.bounded(4) == 0)
            bytes.append("\r\n");
    }

    QElapsedTimer timer;
    qint64 ours = std::numeric_limits<qint64>::max();
    qint64 reference = ours;
    QString text;
    QString expected;
    for (int run = 0; run < 5; ++run) {
        timer.start();
        text = cp932::decode(bytes);
        ours = std::min(ours, timer.nsecsElapsed());
        timer.start();
        const auto utf16 = reader().convert(bytes.constData(), bytes.size());
        reference = std::min(reference, timer.nsecsElapsed());
        QVERIFY(utf16.has_value());
        expected = QString(reinterpret_cast<const QChar *>(utf16->constData()), utf16->size() / 2);
    }
    QCOMPARE(text, expected);
    QCOMPARE(cp932::encode(text), iconvEncode(text).value());
    qInfo("Decoding %lld bytes: %.1f ms here, %.1f ms with iconv (%.1fx faster)",
          qlonglong(bytes.size()), double(ours) / 1e6, double(reference) / 1e6,
          double(reference) / double(ours));
}

namespace {

// decode() one character at a time: a pair where the two bytes decode to one
// character, else the first byte alone. Inputs this short never reach the
// block decoder, and everyByteAndPairAgreesWithIconv checks them all.
QString decodeByCharacter(QByteArrayView bytes)
{
    static const auto pairs = [] {
        std::vector<char16_t> found(0x10000, 0);
        for (int pair = 0; pair < 0x10000; ++pair) {
            const QString text = cp932::decode(bytesOf({pair >> 8, pair & 0xFF}));
            if (text.size() == 1)
                found[size_t(pair)] = text.at(0).unicode();
        }
        return found;
    }();
    QString text;
    for (qsizetype i = 0; i < bytes.size();) {
        const char16_t pair = i + 1 < bytes.size()
                ? pairs[size_t(uchar(bytes[i]) << 8 | uchar(bytes[i + 1]))]
                : 0;
        text += pair ? QString(QChar(pair)) : cp932::decode(bytes.sliced(i, 1));
        i += pair ? 2 : 1;
    }
    return text;
}

} // namespace

void TestCp932::blocksMatchCharacterByCharacter_data()
{
    QTest::addColumn<QByteArray>("bytes");

    // 16 ASCII bytes make a block of their own, so the next block starts at
    // byte 16 and `at` is a position inside it (16: a trail read past it).
    // Both bytes of U+4E9C are lead-range bytes, the hardest case for finding
    // where characters start; 1200 bytes of it outlast the first chunk of
    // blocks that a fault sends back to be decoded one character at a time.
    const QByteArray ascii(16, 'a');
    const QByteArray kanji = "\x88\x9F"_ba.repeated(600);
    for (int at = 0; at <= 16; ++at) {
        QTest::addRow("pairs from byte %d", at) << QByteArray(ascii + QByteArray(at, 'b') + kanji);
        QTest::addRow("pairs from byte %d, lead byte at the end", at)
                << QByteArray(ascii + QByteArray(at, 'b') + kanji.left(2 * at + 1));
    }

    const struct
    {
        const char *name;
        QByteArray bytes;
    } faults[] = {
            {"unassigned lead 85", "\x85\x40"_ba},
            {"unassigned lead EF", "\xEF\xEF"_ba},
            {"unassigned pair 82 F2", "\x82\xF2"_ba},
            {"lead before LF", "\x88\n"_ba},
            {"lead before a Windows-only byte", "\x9F\xFD"_ba},
            {"three leads before a space", "\x81\x81\x81 "_ba},
    };
    for (const auto &fault : faults) {
        for (int at = 0; at <= 16; ++at) {
            for (int shift = 0; shift < 2; ++shift) {
                QByteArray bytes = ascii + kanji;
                bytes.replace(16 + at + shift, fault.bytes.size(), fault.bytes);
                const char *const after = shift ? " after a lead" : "";
                QTest::addRow("%s at %d%s", fault.name, at, after) << bytes;
                QTest::addRow("%s at %d%s, then the end", fault.name, at, after)
                        << bytes.left(16 + at + shift + fault.bytes.size());
            }
        }
    }

    // Runs of ASCII (0 to 40 bytes) between runs of codes; every other text
    // has one fault somewhere. 3000 bytes span several chunks of blocks.
    QRandomGenerator random(17932);
    for (int round = 0; round < 40; ++round) {
        QByteArray bytes;
        while (bytes.size() < 3000) {
            for (int i = random.bounded(41); i > 0; --i)
                bytes.append(char(random.bounded(0x20, 0x7F)));
            for (int i = random.bounded(1, 30); i > 0; --i)
                bytes.append(m_codes.at(random.bounded(m_codes.size())).bytes);
        }
        if (round % 2) {
            const QByteArray &fault = faults[random.bounded(int(std::size(faults)))].bytes;
            bytes.replace(random.bounded(bytes.size() - fault.size()), fault.size(), fault);
        }
        QTest::addRow("random text %d", round) << bytes;
    }
}

void TestCp932::blocksMatchCharacterByCharacter()
{
    QFETCH(QByteArray, bytes);

    const QString text = cp932::decode(bytes);
    const QString expected = decodeByCharacter(bytes);
    if (text != expected) {
        qsizetype at = 0;
        while (at < text.size() && at < expected.size() && text[at] == expected[at])
            ++at;
        QFAIL(qPrintable(u"first difference at character %1 of %2"_s.arg(at).arg(expected.size())));
    }
}

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
