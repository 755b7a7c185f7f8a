#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

class QIODevice;

// Where a command writes: its result to out, messages to err, both UTF-8.
// The result is gathered into blocks of a fixed size and each block's write
// is checked, so that output of any size takes little memory and a full disk
// is noticed however much comes after it; once a write has failed, the rest
// of the result is dropped.
class Console
{
public:
    Console(QIODevice &out, QIODevice &err);

    void write(QByteArrayView bytes); // result bytes on out
    // A line on out or err. Messages quote titles, values and file names,
    // so their control characters are shown escaped (displaytext::forTerminal).
    void print(const QString &line);
    void printError(const QString &line);

    bool outputFailed() const { return m_outError.has_value(); }

    // Writes what is still gathered. The reason the first write to out
    // failed, or nothing when everything was written.
    std::optional<QString> finishOutput();

private:
    void writeGathered();

    QIODevice &m_out;
    QIODevice &m_err;
    QByteArray m_gathered;
    std::optional<QString> m_outError;
};
