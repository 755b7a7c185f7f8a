// Installs the build into a fresh prefix and drives the installed program on
// a virtual X server the way a user on a machine without any Japanese locale
// would: LANG=C, nothing else inherited. The window, its toolbar and Qt's own
// message box must all speak Japanese. Screenshots of the window and of the
// box are left in the test's build folder.

#include "tests/packaging/toolrun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// Each wait below is bounded: polls of 100 ms, at most this many.
constexpr int MaxPolls = 150;

// The window's design size at 96 dots per inch, in pixels: the client area
// is 9405 x 4935 twips and the toolbar 315 twips high, 15 twips a pixel.
constexpr double DesignClientWidth = 627;
constexpr double DesignClientHeight = 329;
constexpr double DesignToolbarHeight = 21;

const QString FileName = u"旅行メモ.svk"_s;

// Written byte for byte, so the test does not lean on the program's own
// encoder: 旅行 > (荷造り > 予定表, 切符), with a body in the root.
const QByteArray TripCp932 =
        "SORVEKA_KEY=C0\r\nSORVEKA_TITLE=\x97\xb7\x8d\x73\r\nSORVEKA_CHECKED=False\r\n"
        "SORVEKA_DATA_CHECK_MARK\r\n\x8b\xe0\x97\x6a\x93\xfa\x82\xc9\x8f\x6f\x94\xad\x81\x42\r\n"
        "SORVEKA_END_CHECK_MARK\r\n\r\n"
        "SORVEKA_KEY=C1\r\nSORVEKA_PARENT=C0\r\nSORVEKA_TITLE=\x89\xd7\x91\xa2\x82\xe8\r\n"
        "SORVEKA_CHECKED=False\r\nSORVEKA_DATA_CHECK_MARK\r\n\r\nSORVEKA_END_CHECK_MARK\r\n\r\n"
        "SORVEKA_KEY=C2\r\nSORVEKA_PARENT=C0\r\nSORVEKA_TITLE=\x90\xd8\x95\x84\r\n"
        "SORVEKA_CHECKED=True\r\nSORVEKA_DATA_CHECK_MARK\r\n\r\nSORVEKA_END_CHECK_MARK\r\n\r\n"
        "SORVEKA_KEY=C3\r\nSORVEKA_PARENT=C1\r\nSORVEKA_TITLE=\x97\x5c\x92\xe8\x95\x5c\r\n"
        "SORVEKA_CHECKED=False\r\nSORVEKA_DATA_CHECK_MARK\r\n\r\nSORVEKA_END_CHECK_MARK\r\n\r\n";

struct XWindow
{
    QString id;
    QString title;
    QRect geometry;
};

class Xdotool
{
public:
    explicit Xdotool(QString program) : m_program(std::move(program)) { }

    ToolResult run(const QStringList &arguments) const
    {
        return runTool(m_program, arguments, {}, 10000);
    }

    // The process's mapped top-level windows; none is not an error.
    QList<XWindow> windowsOf(qint64 pid) const
    {
        QList<XWindow> windows;
        const ToolResult search =
                run({u"search"_s, u"--onlyvisible"_s, u"--pid"_s, QString::number(pid)});
        const QStringList ids = search.output.split(u'\n', Qt::SkipEmptyParts);
        for (const QString &id : ids) {
            const ToolResult name = run({u"getwindowname"_s, id});
            if (name.succeeded())
                windows.append({id, name.output.chopped(name.output.endsWith(u'\n') ? 1 : 0),
                                geometryOf(id)});
        }
        return windows;
    }

    QRect geometryOf(const QString &id) const
    {
        const ToolResult result = run({u"getwindowgeometry"_s, u"--shell"_s, id});
        QHash<QString, int> values;
        const QStringList lines = result.output.split(u'\n', Qt::SkipEmptyParts);
        for (const QString &line : lines) {
            const qsizetype equals = line.indexOf(u'=');
            if (equals > 0)
                values.insert(line.left(equals), line.mid(equals + 1).toInt());
        }
        return QRect(values.value(u"X"_s), values.value(u"Y"_s), values.value(u"WIDTH"_s),
                     values.value(u"HEIGHT"_s));
    }

private:
    QString m_program;
};

// What a window manager sends when the user clicks the close box; this
// xdotool's windowclose destroys the window instead of asking.
void askToClose(const QString &windowId)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return;
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = windowId.toULong();
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);
}

bool hasSeveralColours(const QImage &image, const QRect &area)
{
    const QRect inside = area.intersected(image.rect());
    if (inside.isEmpty())
        return false;
    const QRgb first = image.pixel(inside.topLeft());
    for (int y = inside.top(); y <= inside.bottom(); y += 2)
        for (int x = inside.left(); x <= inside.right(); x += 2)
            if (image.pixel(x, y) != first)
                return true;
    return false;
}

int darkPixels(const QImage &image, const QRect &area)
{
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += qGray(image.pixel(x, y)) < 170 ? 1 : 0;
    return count;
}

} // namespace

class TestInstalledProgramXvfb : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void speaksJapaneseUnderLangC();

private:
    // Takes the whole screen, since the message box is a window of its own.
    QImage screenshot(const QString &path) const;
    // Polls until `wanted` holds for the windows of the program, or gives up.
    template<typename Predicate>
    QList<XWindow> waitForWindows(QProcess &program, Predicate wanted) const;

    QTemporaryDir m_prefix;
    QString m_import;
    std::unique_ptr<Xdotool> m_xdotool;
};

void TestInstalledProgramXvfb::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("no X display: run this test through run_under_xvfb.sh");
    const QString xdotool = findTool(u"xdotool"_s);
    m_import = findTool(u"import"_s);
    if (xdotool.isEmpty() || m_import.isEmpty())
        QSKIP("xdotool and ImageMagick's import are needed to drive the program");
    m_xdotool = std::make_unique<Xdotool>(xdotool);

    QVERIFY(m_prefix.isValid());
    const ToolResult install = runTool(
            QStringLiteral(SORVEKA_CMAKE_COMMAND),
            {u"--install"_s, QStringLiteral(SORVEKA_BUILD_DIR), u"--prefix"_s, m_prefix.path()});
    QVERIFY2(install.succeeded(), qUtf8Printable(install.output));
    QVERIFY(QFileInfo(m_prefix.filePath(u"bin/sorveka"_s)).isExecutable());
}

QImage TestInstalledProgramXvfb::screenshot(const QString &path) const
{
    const ToolResult result = runTool(m_import, {u"-window"_s, u"root"_s, path}, {}, 20000);
    return result.succeeded() ? QImage(path) : QImage();
}

template<typename Predicate>
QList<XWindow> TestInstalledProgramXvfb::waitForWindows(QProcess &program, Predicate wanted) const
{
    for (int i = 0; i < MaxPolls; ++i) {
        if (program.state() == QProcess::NotRunning)
            return {};
        const QList<XWindow> windows = m_xdotool->windowsOf(program.processId());
        if (wanted(windows))
            return windows;
        program.waitForFinished(100);
    }
    return {};
}

void TestInstalledProgramXvfb::speaksJapaneseUnderLangC()
{
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString file = work.filePath(FileName);
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(TripCp932), TripCp932.size());
    }
    QDir(work.path()).mkdir(u"home"_s);
    QDir(work.path()).mkdir(u"runtime"_s);
    QFile::setPermissions(work.filePath(u"runtime"_s),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // As `env -i`: only the display, a private home and the C locale. Nothing
    // from the test's own environment (QT_QPA_PLATFORM, LANGUAGE, ...) leaks in.
    QProcessEnvironment environment;
    environment.insert(u"DISPLAY"_s, qEnvironmentVariable("DISPLAY"));
    if (!qEnvironmentVariableIsEmpty("XAUTHORITY"))
        environment.insert(u"XAUTHORITY"_s, qEnvironmentVariable("XAUTHORITY"));
    environment.insert(u"HOME"_s, work.filePath(u"home"_s));
    environment.insert(u"XDG_RUNTIME_DIR"_s, work.filePath(u"runtime"_s));
    environment.insert(u"LANG"_s, u"C"_s);
    environment.insert(u"LC_ALL"_s, u"C"_s);

    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(m_prefix.filePath(u"bin/sorveka"_s), {file});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    const auto stop = qScopeGuard([&program] {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    });

    // The main window, titled with the file's name.
    const QList<XWindow> first = waitForWindows(
            program, [](const QList<XWindow> &windows) { return !windows.isEmpty(); });
    QVERIFY2(first.size() == 1, "the program showed no window, or more than one");
    const XWindow window = first.constFirst();
    QCOMPARE(window.title, u"Sorveka ["_s + FileName + u']');
    QVERIFY2(window.geometry.width() >= DesignClientWidth,
             qPrintable(u"window %1 x %2"_s.arg(window.geometry.width())
                                .arg(window.geometry.height())));

    const QDir buildFolder(QCoreApplication::applicationDirPath());
    const QString windowShot = buildFolder.filePath(u"installed_window_lang_c.png"_s);
    const QString boxShot = buildFolder.filePath(u"installed_messagebox_lang_c.png"_s);

    // The first paint may come a little after the window is mapped.
    QImage before;
    for (int i = 0; i < MaxPolls / 10 && !hasSeveralColours(before, window.geometry); ++i) {
        program.waitForFinished(100);
        before = screenshot(windowShot);
    }
    QVERIFY2(hasSeveralColours(before, window.geometry), "the window shows nothing but one colour");
    // The rest of the screen is empty: keep the window.
    QVERIFY(before.copy(window.geometry).save(windowShot));

    // The toolbar is the first row of the client area, right under the menu
    // bar; its first button is New. Everything scales with the screen's dots
    // per inch, which the window's width reveals.
    const QRect geometry = window.geometry;
    const double scale = geometry.width() / DesignClientWidth;
    const int menuBarHeight = geometry.height() - int(std::lround(DesignClientHeight * scale));
    const int toolbarHeight = int(std::lround(DesignToolbarHeight * scale));
    QVERIFY2(menuBarHeight > 0 && menuBarHeight < geometry.height() / 4,
             qPrintable(u"menu bar %1 px high"_s.arg(menuBarHeight)));
    const QPoint newButton(geometry.x() + toolbarHeight * 3 / 4,
                           geometry.y() + menuBarHeight + toolbarHeight / 2);
    // The button's picture, a page outlined in grey on the light toolbar, is
    // where the click goes.
    const int half = int(std::lround(6 * scale));
    QVERIFY2(darkPixels(before,
                        QRect(newButton - QPoint(half, half), newButton + QPoint(half, half)))
                     > 4,
             qPrintable(u"no toolbar picture at %1, %2"_s.arg(newButton.x()).arg(newButton.y())));

    QVERIFY(m_xdotool
                    ->run({u"mousemove"_s, u"--sync"_s, QString::number(newButton.x()),
                           QString::number(newButton.y()), u"click"_s, u"1"_s})
                    .succeeded());

    // New asks before throwing the outline away, in a box of its own.
    const auto withBox = [](const QList<XWindow> &windows) {
        return std::any_of(windows.begin(), windows.end(),
                           [](const XWindow &w) { return w.title == u"新規"; });
    };
    const QList<XWindow> asking = waitForWindows(program, withBox);
    QVERIFY2(withBox(asking), "clicking the toolbar's first button showed no box titled 新規");
    const XWindow box = *std::find_if(asking.begin(), asking.end(),
                                      [](const XWindow &w) { return w.title == u"新規"; });

    QImage withOpenBox;
    for (int i = 0; i < MaxPolls / 10 && !hasSeveralColours(withOpenBox, box.geometry); ++i) {
        program.waitForFinished(100);
        withOpenBox = screenshot(boxShot);
    }
    QVERIFY2(hasSeveralColours(withOpenBox, box.geometry), "the box shows nothing but one colour");
    QVERIFY(withOpenBox.copy(window.geometry.united(box.geometry)).save(boxShot));
    qInfo("screenshot of the window: %s", qPrintable(windowShot));
    qInfo("screenshot with the box open: %s", qPrintable(boxShot));

    // Escape answers No: the box goes and the outline stays. The key goes to
    // the focused window, the box, as a user's key press does.
    QVERIFY(m_xdotool->run({u"key"_s, u"Escape"_s}).succeeded());
    const QList<XWindow> after = waitForWindows(program, [&withBox](const QList<XWindow> &windows) {
        return windows.size() == 1 && !withBox(windows);
    });
    QCOMPARE(after.size(), 1);
    QCOMPARE(after.constFirst().title, window.title);

    // Below the toolbar (where the pointer still rests on New) the window
    // looks as before: a reset would show one category named 名前付けてね.
    QTemporaryDir shots;
    const QRect below(geometry.x(), geometry.y() + menuBarHeight + toolbarHeight, geometry.width(),
                      geometry.height() - menuBarHeight - toolbarHeight);
    QImage afterBox;
    for (int i = 0; i < MaxPolls / 10 && afterBox.copy(below) != before.copy(below); ++i) {
        program.waitForFinished(100);
        afterBox = screenshot(shots.filePath(u"after.png"_s));
    }
    QVERIFY2(afterBox.copy(below) == before.copy(below), "the window changed after answering No");

    // Nothing changed, so closing asks nothing and the program ends.
    askToClose(window.id);
    QVERIFY2(program.waitForFinished(MaxPolls * 100),
             "the program did not end after its window was closed");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestInstalledProgramXvfb)
#include "tst_installedprogram_xvfb.moc"
