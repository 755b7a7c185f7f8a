#pragma once

#include <QString>
#include <QStringView>

// Bodies are kept with CR LF line ends, as the outline file holds them; the
// body box and the text formats svk writes work with LF.

// What a lone CR (one not followed by LF) is taken for.
enum class LoneCr {
    Kept, // a character like any other
    EndsLine, // a line end, as the file reader takes it
};

// CR LF becomes LF, and a lone CR too when it ends a line. A lone LF stays.
QString withLfLineEnds(QStringView text, LoneCr loneCr = LoneCr::Kept);

// Every LF becomes CR LF.
QString withCrLfLineEnds(QStringView text);

// A lone CR becomes CR LF; everything else stays. Without a lone CR the text
// itself comes back, uncopied.
QString withLoneCrAsCrLf(QString text);
