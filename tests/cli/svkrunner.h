#pragma once

#include "tests/support/outlinerecords.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

// Runs the built svk and builds the files it is run on.
namespace svktest {

using outlinerecords::record;

struct SvkRun
{
    int exitCode = -1; // -1 when svk crashed or did not finish
    QByteArray out;
    QByteArray err;
};

// With `standardOutputFile`, svk's output goes there instead of into `out`.
// `inChild` runs in the child before svk starts, to set limits for it.
SvkRun runSvk(const QStringList &arguments, const QString &standardOutputFile = {},
              const std::function<void()> &inChild = {});

// A chain C0 > C1 > ... of `depth` categories titled t0, t1, ...
QByteArray chain(int depth);

// OPML with `count` outline elements under one root: the root and count - 1 children.
QByteArray opmlWithOutlines(int count);

QString fixturePath(const QString &name);

} // namespace svktest
