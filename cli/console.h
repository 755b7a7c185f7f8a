#pragma once

#include <QByteArrayView>
#include <QString>

class QIODevice;

// Where a command writes: its result to `out`, messages to `err`, both UTF-8.
struct Console
{
    QIODevice &out;
    QIODevice &err;

    void write(QByteArrayView bytes);
    void print(const QString &line);      // a line on out
    void printError(const QString &line); // a line on err
};
