#include "file/readahead.h"

OutlineReadAhead::OutlineReadAhead(const QString &path) : m_path(path)
{
    if (path.isEmpty())
        return;
    m_stamp = FileStamp::of(path);
    m_result = std::async(std::launch::async, readOutlineFile, path);
}

OutlineReadAhead::~OutlineReadAhead()
{
    if (m_result.valid())
        m_result.wait();
}

ReadResult OutlineReadAhead::take(const QString &path)
{
    if (m_result.valid() && path == m_path)
        return m_result.get();
    return readOutlineFile(path);
}

FileStamp OutlineReadAhead::stampBeforeRead(const QString &path) const
{
    return path == m_path ? m_stamp : FileStamp::of(path);
}
