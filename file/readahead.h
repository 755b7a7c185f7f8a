#pragma once

#include "file/filestamp.h"
#include "file/outlinereader.h"

#include <QString>

#include <future>

// Reads an outline file on a worker thread, so that reading overlaps
// whatever the caller does meanwhile (building the window at start-up).
class OutlineReadAhead
{
public:
    // Starts reading `path` at once; an empty path reads nothing.
    explicit OutlineReadAhead(const QString &path);
    // Waits for a read still running: its thread must not outlive the caller.
    ~OutlineReadAhead();
    OutlineReadAhead(const OutlineReadAhead &) = delete;
    OutlineReadAhead &operator=(const OutlineReadAhead &) = delete;

    // The outline in `path`: the result read ahead when it was started for
    // this path and not yet taken, else read now.
    ReadResult take(const QString &path);
    // The file as it was before the read that take() hands out began; asked
    // before take(), it is never newer than what was read.
    FileStamp stampBeforeRead(const QString &path) const;

private:
    QString m_path;
    FileStamp m_stamp;
    std::future<ReadResult> m_result;
};
