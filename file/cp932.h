#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// Conversion between UTF-16 and code page 932 as Windows does it. The mapping
// comes from glibc's iconv "CP932" (read once into tables on first use), plus
// the five single bytes Windows maps and iconv refuses: 0x80 <-> U+0080,
// 0xA0 <-> U+F8F0, 0xFD..0xFF <-> U+F8F1..U+F8F3.
//
// Bytes 0x00..0x7F decode to the same ASCII code points, and CR (0x0D) and
// LF (0x0A) are never the second byte of a pair, so a caller may split lines
// on the raw bytes before decoding them.
namespace cp932 {

// Bytes that form no valid, assigned sequence are kept rather than lost: each
// such byte b becomes the lone surrogate U+DC00+b (b is 0x80..0xFF), so that
// encode() writes the same byte back. A lead byte at the very end, or one
// followed by a byte that does not complete an assigned pair, is escaped on
// its own and decoding resumes at the next byte.
QString decode(QByteArrayView bytes);

// Characters code page 932 cannot hold become one '?' each (a surrogate pair
// counts as one character, a lone surrogate as one); the escapes U+DC80..U+DCFF
// become their byte again. Characters with several codes (the NEC-selected IBM
// duplicates) are written with the code Windows uses; so where an escaped lead
// byte stands right before such a duplicate, the byte and the rewritten code
// can form a different pair when read again.
QByteArray encode(QStringView text);

// The distinct characters of text that encode() replaces by '?', in order of
// first appearance. Escaped bytes are not listed: they round-trip.
QList<char32_t> unencodable(QStringView text);

bool isEncodable(char32_t c);

// The text as decode(encode(text)) gives it back where every character the
// code page holds reads back as itself: each character it cannot hold
// becomes one '?'.
QString withUnencodableReplaced(QStringView text);

// True when decode(encode(text)) gives text back, told from a table look-up
// per unit: every character is held and reads back as itself, and no escaped
// byte is present (it may join the byte after it into a pair). False does not
// mean the text changes, only that it has to be converted to find out.
bool readsBackExactly(QStringView text);

} // namespace cp932
