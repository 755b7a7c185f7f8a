#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// Text of the outline made fit for formats that cannot carry everything the
// outline holds. Bytes the reader could not decode are kept in memory as lone
// surrogates; UTF-8 and XML have no place for them, so they are shown as the
// replacement character. Only the json format keeps them.
namespace displaytext {

constexpr char16_t Replacement = 0xFFFD;

// Text for a terminal: a title or body must not be able to move the cursor,
// retitle the window or clear the screen, so C0 controls other than tab and
// LF, DEL and the C1 controls U+0080..U+009F are shown as "\x1b" and the
// like, and lone surrogates as U+FFFD. A backslash stays as it is: paths and
// the like read as written, at the price of "\x1b" typed by hand looking
// the same as an escaped ESC.
QString forTerminal(QStringView text);

// Lone surrogates and every character XML 1.0 forbids (control characters
// other than tab, LF and CR; U+FFFE and U+FFFF) become U+FFFD; pairs stay.
QString xmlSafe(QStringView text);

// A title for a one-line listing: line breaks become blanks, as the outline
// file writer makes them.
QString oneLine(QStringView title);

// A body's lines, split at CR LF, a lone CR or a lone LF. An empty body has no lines.
QStringList bodyLines(QStringView body);

} // namespace displaytext
