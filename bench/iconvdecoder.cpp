#include "bench/iconvdecoder.h"

#include <cerrno>
#include <cstring>

namespace {
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr char Utf16[] = "UTF-16LE";
#else
constexpr char Utf16[] = "UTF-16BE";
#endif
} // namespace

IconvDecoder::IconvDecoder() : m_cd(iconv_open(Utf16, "CP932"))
{
    if (m_cd == reinterpret_cast<iconv_t>(-1))
        qFatal("bench: iconv cannot convert from CP932: %s", strerror(errno));
}

IconvDecoder::~IconvDecoder()
{
    iconv_close(m_cd);
}

QString IconvDecoder::decode(QByteArrayView bytes) const
{
    // Same output buffer as our decoder: one unit per byte at most.
    QString text(bytes.size(), Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char *out = reinterpret_cast<char *>(text.data());
    size_t outLeft = size_t(text.size()) * 2;
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(m_cd, &in, &inLeft, &out, &outLeft) == size_t(-1))
        return QString();
    text.truncate(text.size() - qsizetype(outLeft / 2));
    return text;
}
