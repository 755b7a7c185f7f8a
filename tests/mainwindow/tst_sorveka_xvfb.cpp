#include "samplefiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

using namespace Qt::StringLiterals;

namespace {

// Each wait below is bounded: polls of 100 ms, at most this many.
constexpr int MaxPolls = 150;

QByteArray propertyOf(Display *display, Window window, const char *name, Atom type)
{
    const Atom property = XInternAtom(display, name, False);
    Atom actualType = None;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char *data = nullptr;
    QByteArray value;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actualType, &format, &items,
                           &remaining, &data) == Success && data) {
        // Xlib hands 32-bit items over as longs.
        const qsizetype itemSize = format == 32 ? qsizetype(sizeof(long)) : format / 8;
        value = QByteArray(reinterpret_cast<const char *>(data), qsizetype(items) * itemSize);
        XFree(data);
    }
    return value;
}

qint64 pidOf(Display *display, Window window)
{
    const QByteArray pid = propertyOf(display, window, "_NET_WM_PID", XA_CARDINAL);
    return pid.size() >= qsizetype(sizeof(long)) ? *reinterpret_cast<const long *>(pid.constData()) : -1;
}

// The program's mapped top-level window; without a window manager it is a
// direct child of the root.
Window findWindow(Display *display, qint64 pid)
{
    Window root = 0, parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable
            && pidOf(display, children[i]) == pid)
            found = children[i];
    }
    if (children)
        XFree(children);
    return found;
}

QString titleOf(Display *display, Window window)
{
    return QString::fromUtf8(
            propertyOf(display, window, "_NET_WM_NAME", XInternAtom(display, "UTF8_STRING", False)));
}

// What a window manager sends when the user clicks the close box.
void askToClose(Display *display, Window window)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

bool hasSeveralColours(const QImage &image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            if (image.pixel(x, y) != first)
                return true;
    return false;
}

} // namespace

// The real program on a real X server (Xvfb): it opens the file named on
// its command line, names it in the title, draws, and closes when asked.
class TestSorvekaXvfb : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void opensTheFileInItsWindow();

private:
    Display *m_display = nullptr;
};

void TestSorvekaXvfb::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("no X display: run this test through xvfb-run");
    m_display = XOpenDisplay(nullptr);
    QVERIFY2(m_display, "cannot open the X display");
}

void TestSorvekaXvfb::cleanupTestCase()
{
    if (m_display)
        XCloseDisplay(m_display);
}

void TestSorvekaXvfb::opensTheFileInItsWindow()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(u"旅行メモ.svk"_s);
    QVERIFY(samplefiles::writeTrip(file));

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    environment.insert(u"LANG"_s, u"C.UTF-8"_s);
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(SORVEKA_BINARY), {file});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    const auto stop = qScopeGuard([&program] {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    });

    Window window = 0;
    for (int i = 0; i < MaxPolls && !window; ++i) {
        if (program.waitForFinished(100))
            QFAIL("the program ended before showing its window");
        window = findWindow(m_display, program.processId());
    }
    QVERIFY2(window, "no window of the program appeared");
    QCOMPARE(titleOf(m_display, window), u"Sorveka [旅行メモ.svk]"_s);

    const QString import = QStandardPaths::findExecutable(u"import"_s);
    if (import.isEmpty()) {
        qInfo("ImageMagick's import is not installed: no screenshot taken");
    } else {
        // The first paint may come a little after the window is mapped.
        const QString shot = QDir(QCoreApplication::applicationDirPath()).filePath(u"sorveka_xvfb.png"_s);
        QImage image;
        for (int i = 0; i < MaxPolls / 10 && (image.isNull() || !hasSeveralColours(image)); ++i) {
            program.waitForFinished(100);
            QCOMPARE(QProcess::execute(import, {u"-window"_s, QString::number(window), shot}), 0);
            image = QImage(shot);
        }
        QVERIFY2(!image.isNull(), qPrintable(shot));
        QVERIFY2(hasSeveralColours(image), "the window shows nothing but one colour");
        QVERIFY(image.width() >= 627);
        qInfo("screenshot: %s", qPrintable(shot));
    }

    // Nothing changed, so closing asks nothing and the program ends.
    askToClose(m_display, window);
    QVERIFY2(program.waitForFinished(MaxPolls * 100), "the program did not end after its window was closed");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestSorvekaXvfb)
#include "tst_sorveka_xvfb.moc"
