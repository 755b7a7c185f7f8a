#pragma once

#include <QByteArrayView>
#include <QString>

#include <iconv.h>

// glibc's iconv from "CP932" to UTF-16: the converter our own tables are read
// from, and the baseline the decoder is measured against.
class IconvDecoder
{
public:
    IconvDecoder();
    ~IconvDecoder();
    IconvDecoder(const IconvDecoder &) = delete;
    IconvDecoder &operator=(const IconvDecoder &) = delete;

    // The whole text, or a null string when iconv stops at a byte it refuses.
    QString decode(QByteArrayView bytes) const;

private:
    iconv_t m_cd;
};
