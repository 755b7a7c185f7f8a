#pragma once

#include <QString>
#include <QStringView>

// A value as a message quotes it, cut to a readable length: a key, a check
// mark or a title may run to megabytes, and a message box takes seconds to
// lay out such a line.
QString quotedValue(QStringView value);
