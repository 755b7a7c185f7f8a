#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <initializer_list>

// Outline file records built byte for byte, for input no writer would make.
namespace outlinerecords {

// One record with CR LF line ends, followed by an empty line; no parent line
// when `parent` is empty. The bytes go into the file as given.
QByteArray record(QByteArrayView key, QByteArrayView parent, QByteArrayView title,
                  QByteArrayView checked, std::initializer_list<QByteArrayView> bodyLines);
// A record titled "t" and the key, with the one body line "b" and the key:
// seven lines, eight with a parent line.
QByteArray record(QByteArrayView key, QByteArrayView parent = {}, QByteArrayView checked = "False");

} // namespace outlinerecords
