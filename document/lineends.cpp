#include "document/lineends.h"

// Each conversion copies in one pass: QString::replace moved the rest of a
// large body once per batch of line ends it found.

QString withLfLineEnds(QStringView text, LoneCr loneCr)
{
    QString converted(text.size(), Qt::Uninitialized);
    QChar *out = converted.data();
    const QChar *in = text.constData();
    const QChar *const end = in + text.size();
    while (in != end) {
        if (*in == u'\r') {
            if (end - in > 1 && in[1] == u'\n') {
                ++in;
            } else if (loneCr == LoneCr::EndsLine) {
                *out++ = u'\n';
                ++in;
                continue;
            }
        }
        *out++ = *in++;
    }
    converted.truncate(out - converted.constData());
    return converted;
}

QString withCrLfLineEnds(QStringView text)
{
    QString converted;
    converted.reserve(text.size() + text.count(u'\n'));
    qsizetype copied = 0;
    for (qsizetype i = text.indexOf(u'\n'); i >= 0; i = text.indexOf(u'\n', i + 1)) {
        converted.append(text.sliced(copied, i - copied));
        converted.append(u"\r\n");
        copied = i + 1;
    }
    converted.append(text.sliced(copied));
    return converted;
}

QString withLoneCrAsCrLf(QString text)
{
    // Lone CRs are rare: copy in runs between them, and not at all without one.
    QString converted;
    bool copying = false;
    qsizetype copied = 0;
    const QStringView view(text);
    for (qsizetype i = view.indexOf(u'\r'); i >= 0; i = view.indexOf(u'\r', i + 1)) {
        if (i + 1 < view.size() && view[i + 1] == u'\n')
            continue;
        if (!copying) {
            converted.reserve(view.size() + view.count(u'\r'));
            copying = true;
        }
        converted.append(view.sliced(copied, i + 1 - copied));
        converted.append(u'\n');
        copied = i + 1;
    }
    if (!copying)
        return text;
    converted.append(view.sliced(copied));
    return converted;
}
