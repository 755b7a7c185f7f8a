#pragma once

#include "document/outline.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <initializer_list>

// Builders and printers shared by the outline file tests.
namespace outlinetest {

struct CategoryRecipe
{
    QString key;
    QString parentKey; // empty for the root
    QString title;
    bool checked = false;
    QString body;
};

// Adds the categories in the order given, each as the last child of its parent.
Outline build(std::initializer_list<CategoryRecipe> categories);

// One line per category in collection order, e.g.
//   C1 under C0 "Packing" img 3 body "Camera\r\nUmbrella"
// with " checked" and " open" when they apply; CR and LF in bodies are shown
// as \r and \n.
QStringList describe(const Outline &outline);

// Tree order as text, e.g. "C0(C1(C3) C2)".
QString shape(const Outline &outline);

// The lines joined, each ended by CR LF.
QByteArray crlfLines(std::initializer_list<QByteArrayView> lines);

// A complete record with the title "t" followed by the key and the one body
// line "b" followed by the key: seven lines, eight with a parent line.
QByteArray record(QByteArrayView key, QByteArrayView parentKey = {},
                  QByteArrayView checked = "False");

QByteArray fixture(const QString &name);
QString fixturePath(const QString &name);

} // namespace outlinetest
