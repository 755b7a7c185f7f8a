#pragma once

#include "tests/support/outlinerecords.h"
#include "tests/support/outlinescript.h"

#include <QByteArray>
#include <QString>

#include <initializer_list>

// What the outline file tests need beyond the shared builders and printers.
namespace outlinetest {

using namespace outlinescript;
using outlinerecords::record;

// The lines joined, each ended by CR LF.
QByteArray crlfLines(std::initializer_list<QByteArrayView> lines);

QByteArray fixture(const QString &name);
QString fixturePath(const QString &name);

} // namespace outlinetest
