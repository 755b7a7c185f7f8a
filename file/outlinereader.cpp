#include "file/outlinereader.h"

#include "document/document.h"
#include "document/icons.h"
#include "document/lineends.h"
#include "file/cp932.h"
#include "file/hugepages.h"
#include "file/keywords.h"
#include "file/quotedvalue.h"

#include <QFile>
#include <QScopeGuard>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <variant>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool StrLComp(QStringView str1, QStringView str2)
{
    return str1.startsWith(str2);
}

namespace {

// Lines end at CR LF or at a lone CR; a lone LF belongs to the line. CR never
// occurs inside a code page 932 pair, so lines are found on the raw bytes.
class LineCursor
{
public:
    explicit LineCursor(QByteArrayView bytes) : m_bytes(bytes) { }

    bool atEnd() const { return m_pos >= m_bytes.size(); }
    int lineNumber() const { return m_lineNumber; }
    // Offset where the line just read starts, and where its text ends.
    qsizetype lineStart() const { return m_lineStart; }
    qsizetype lineEnd() const { return m_lineEnd; }
    // The line just read ended at a CR without an LF after it.
    bool endedAtLoneCr() const { return m_loneCr; }

    QByteArrayView next()
    {
        m_lineStart = m_pos;
        const char *data = m_bytes.data();
        const void *cr = std::memchr(data + m_pos, '\r', size_t(m_bytes.size() - m_pos));
        m_lineEnd = cr ? static_cast<const char *>(cr) - data : m_bytes.size();
        m_pos = m_lineEnd;
        m_loneCr = false;
        if (m_pos < m_bytes.size()) {
            ++m_pos;
            if (m_pos < m_bytes.size() && data[m_pos] == '\n')
                ++m_pos;
            else
                m_loneCr = true;
        }
        ++m_lineNumber;
        return m_bytes.sliced(m_lineStart, m_lineEnd - m_lineStart);
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    qsizetype m_lineStart = 0;
    qsizetype m_lineEnd = 0;
    int m_lineNumber = 0;
    bool m_loneCr = false;
};

std::optional<bool> parseChecked(QStringView value)
{
    const QStringView v = value.trimmed();
    if (v.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (v.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    bool isNumber = false;
    const double number = v.toDouble(&isNumber);
    if (isNumber && std::isfinite(number))
        return number != 0;
    return std::nullopt;
}

// A body is the bytes between its start and end lines. Decoding them as one
// span is what makes large bodies fast; lone CR line ends become CR LF, as
// joining the lines would have made them. The line reader knows whether the
// span holds a lone CR, which spares a pass over every large body.
QString decodeBody(QByteArrayView span, bool hasLoneCr)
{
    QString decoded = cp932::decode(span);
    return hasLoneCr ? withLoneCrAsCrLf(std::move(decoded)) : decoded;
}

struct Record
{
    QString key;
    QString parentKey;
    QString title = InitialRootTitle;
    bool checked = false;

    void resetAfterCompletion() // the key deliberately stays
    {
        parentKey.clear();
        title = InitialRootTitle;
        checked = false;
    }
};

class Reader
{
public:
    explicit Reader(QByteArrayView bytes) : m_lines(bytes), m_bytes(bytes) { }

    ReadResult read()
    {
        while (!m_lines.atEnd() && !m_result.error) {
            const QByteArrayView line = m_lines.next();
            if (m_inBody)
                readBodyLine(line);
            else
                readHeaderLine(cp932::decode(line));
        }
        if (!m_result.error && !m_result.outline.root()) {
            fail(LoadError::Code::NoRecord, QStringLiteral("no complete record (no category)"));
            m_result.error->line = std::max(1, m_lines.lineNumber());
        }
        if (!m_result.error)
            m_result.outline.setExpanded(m_result.outline.root(), true);
        return std::move(m_result);
    }

private:
    void readHeaderLine(const QString &line)
    {
        // The character right after a keyword, normally "=", is skipped whatever it is.
        auto value = [&line](const QString &keyword) { return line.mid(keyword.size() + 1); };
        if (StrLComp(line, keywords::Key)) {
            m_record.key = value(keywords::Key);
        } else if (StrLComp(line, keywords::Title)) {
            m_record.title = value(keywords::Title);
        } else if (StrLComp(line, keywords::Checked)) {
            const QString text = value(keywords::Checked);
            if (const auto checked = parseChecked(text))
                m_record.checked = *checked;
            else
                fail(LoadError::Code::BadCheckedValue,
                     QStringLiteral("check mark \"%1\" is neither True, False nor a number"), text);
        } else if (StrLComp(line, keywords::Parent)) {
            m_record.parentKey = value(keywords::Parent);
        } else if (StrLComp(line, keywords::BodyStart)) {
            m_inBody = true;
            m_bodyStart = -1;
            m_bodyHasLoneCr = false;
        }
    }

    void readBodyLine(QByteArrayView line)
    {
        static const QByteArray endMark = keywords::BodyEnd.toLatin1();
        if (line.startsWith(endMark)) {
            const QByteArrayView span = m_bodyStart < 0
                    ? QByteArrayView()
                    : m_bytes.sliced(m_bodyStart, m_bodyEnd - m_bodyStart);
            m_inBody = false;
            completeRecord(decodeBody(span, m_bodyHasLoneCr));
            return;
        }
        // The end of the body's last line is not in the span, so a lone CR
        // counts once another body line follows it.
        if (m_bodyStart < 0)
            m_bodyStart = m_lines.lineStart();
        else
            m_bodyHasLoneCr = m_bodyHasLoneCr || m_previousEndedAtLoneCr;
        m_previousEndedAtLoneCr = m_lines.endedAtLoneCr();
        m_bodyEnd = m_lines.lineEnd();
    }

    void completeRecord(const QString &body)
    {
        Outline &outline = m_result.outline;
        const QString &key = m_record.key;
        const std::optional<int> keyNumber = Outline::keyNumberOf(key);
        if (outline.item(key))
            return fail(LoadError::Code::DuplicateKey, QStringLiteral("duplicate key \"%1\""), key);
        if (!keyNumber)
            return fail(LoadError::Code::BadKey,
                        QStringLiteral("key \"%1\" is not a letter followed by decimal digits"),
                        key);
        if (*keyNumber > Outline::MaxKeyNumber)
            return fail(LoadError::Code::KeyNumberOutOfRange,
                        QStringLiteral("key number of \"%1\" is above ")
                                + QString::number(Outline::MaxKeyNumber),
                        key);
        if (outline.itemByNumber(*keyNumber))
            return fail(LoadError::Code::DuplicateKeyNumber,
                        QStringLiteral("key \"%1\" has the number of another key"), key);

        Category *category = nullptr;
        const bool isRoot = !outline.root();
        if (isRoot) {
            category = outline.addTopLevel(key, m_record.title);
        } else {
            if (m_record.parentKey.isEmpty())
                return fail(LoadError::Code::MissingParent,
                            QStringLiteral("category \"%1\" has no parent key"), key);
            Category *parent = outline.item(m_record.parentKey);
            if (!parent)
                return fail(LoadError::Code::UnknownParent,
                            QStringLiteral("unknown parent key \"%1\""), m_record.parentKey);
            category = outline.addChild(parent, key, m_record.title);
            // The root keeps its open folder only when it bears the key every
            // written outline gives it; any other parent shows a closed one.
            if (m_record.parentKey != QLatin1StringView("C0"))
                outline.setImage(parent, icons::of(icons::Collapsed, parent->checked()));
        }
        outline.setChecked(category, m_record.checked);
        outline.setImage(category,
                         icons::of(isRoot ? icons::Expanded : icons::Leaf, m_record.checked));
        outline.TextData[size_t(*keyNumber)] = body;
        outline.KeyCounter = std::max(outline.KeyCounter, *keyNumber + 1);
        m_record.resetAfterCompletion();
    }

    void fail(LoadError::Code code, const QString &message)
    {
        m_result.error = LoadError{code, m_lines.lineNumber(), message};
    }

    // `message` quotes `value` at its %1.
    void fail(LoadError::Code code, const QString &message, QStringView value)
    {
        const QString quoted = quotedValue(value);
        fail(code, message.arg(quoted));
        m_result.error->value = quoted;
    }

    LineCursor m_lines;
    QByteArrayView m_bytes;
    ReadResult m_result;
    Record m_record;
    bool m_inBody = false;
    qsizetype m_bodyStart = -1;
    qsizetype m_bodyEnd = -1;
    bool m_bodyHasLoneCr = false;
    bool m_previousEndedAtLoneCr = false;
};

} // namespace

ReadResult readOutline(QByteArrayView bytes)
{
    return Reader(bytes).read();
}

namespace {

LoadError systemFailure(LoadError::Code code, int error)
{
    // strerrordesc_np is English whatever the locale and safe from any thread.
    const char *reason = ::strerrordesc_np(error);
    return {code, 0, reason ? QString::fromUtf8(reason) : QStringLiteral("error %1").arg(error),
            error};
}

} // namespace

// Read with read() rather than mapped: a mapped file that another program
// cuts short kills the reader with SIGBUS.
std::variant<QByteArray, LoadError> readRegularFile(const QString &path)
{
    // Without O_NONBLOCK, opening a pipe waits for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return systemFailure(LoadError::Code::CannotOpen, errno);
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat before = {};
    if (::fstat(fd, &before) != 0)
        return systemFailure(LoadError::Code::CannotOpen, errno);
    if (!S_ISREG(before.st_mode))
        return LoadError{LoadError::Code::NotRegularFile, 0,
                         QStringLiteral("not a regular file (a folder, pipe, device or socket)")};

    // One byte more than the size, so that a file that grew is noticed
    // without another call.
    QByteArray bytes(qsizetype(before.st_size) + 1, Qt::Uninitialized);
    preferHugePages(bytes.data(), bytes.size());
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return systemFailure(LoadError::Code::CannotOpen, errno);
        }
        if (got == 0)
            break;
        filled += got;
    }
    struct stat after = {};
    if (::fstat(fd, &after) != 0)
        return systemFailure(LoadError::Code::CannotOpen, errno);
    if (filled != before.st_size || after.st_size != before.st_size
        || after.st_mtim.tv_sec != before.st_mtim.tv_sec
        || after.st_mtim.tv_nsec != before.st_mtim.tv_nsec) {
        return LoadError{
                LoadError::Code::ChangedWhileReading, 0,
                QStringLiteral("the file changed while it was read (%1 bytes before, %2 read)")
                        .arg(before.st_size)
                        .arg(filled)};
    }
    bytes.truncate(filled);
    return bytes;
}

ReadResult readOutlineFile(const QString &path)
{
    auto bytes = readRegularFile(path);
    if (auto *error = std::get_if<LoadError>(&bytes)) {
        ReadResult result;
        result.error = std::move(*error);
        return result;
    }
    return readOutline(std::get<QByteArray>(bytes));
}
