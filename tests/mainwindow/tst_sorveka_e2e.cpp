#include "x11session.h"
#include "xdotoolinput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Every wait is bounded: polls of 50 ms, at most this many.
constexpr int PollMs = 50;
constexpr int MaxPolls = 200;
// Between two input steps, so the program has handled the first before the
// second arrives; what each step changed is still checked by polling.
constexpr int SettleMs = 150;

// The window's design, in twips at 96 dpi, as the program places its controls.
constexpr int DesignClientWidth = 9405;
constexpr int DesignClientHeight = 4935;
constexpr int TreeLeft = 120;
constexpr int ControlsTop = 360;
constexpr int TreeWidth = 3615;
constexpr int TitleLeft = 3840;
constexpr int TitleHeight = 375;
constexpr int ToolbarHeight = 315;

// Polls until the condition holds; gives up at once when the program ends.
template<typename Condition>
bool pollUntil(QProcess &program, Condition condition, int polls = MaxPolls)
{
    for (int i = 0; i < polls; ++i) {
        if (condition())
            return true;
        if (program.state() == QProcess::NotRunning)
            break;
        program.waitForFinished(PollMs);
    }
    return condition();
}

bool contains(const QImage &image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                return true;
    return false;
}

bool isOneColour(const QImage &image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first)
                return false;
    return true;
}

// Where the program put its controls, in window coordinates, worked out from
// the window's size the way the program works it out from the screen.
struct Layout
{
    double scale = 1.0;
    int menuBarHeight = 0;

    explicit Layout(QSize window)
    {
        scale = window.width() * 15.0 / DesignClientWidth;
        menuBarHeight = window.height() - px(DesignClientHeight);
    }
    int px(int twips) const { return int(std::lround(twips / 15.0 * scale)); }
    // Only the tree's top part, where the first rows are.
    QRect tree() const
    {
        return QRect(px(TreeLeft), menuBarHeight + px(ControlsTop), px(TreeWidth), px(1200));
    }
    QRect titleBox() const
    {
        return QRect(px(TitleLeft), menuBarHeight + px(ControlsTop),
                     px(DesignClientWidth - 150 - TitleLeft), px(TitleHeight));
    }
    QRect toolbar() const
    {
        return QRect(0, menuBarHeight, px(DesignClientWidth), px(ToolbarHeight));
    }
};

// The toolbar's buttons are found by their pictures: columns of the bar that
// differ from its background, grouped where they touch.
QList<int> buttonCentres(const QImage &bar)
{
    const QRgb background = bar.pixel(0, bar.height() / 2);
    QList<int> centres;
    int start = -1, lastInk = -1;
    constexpr int Gap = 4;
    for (int x = 0; x < bar.width(); ++x) {
        bool ink = false;
        for (int y = 2; y < bar.height() - 2 && !ink; ++y)
            ink = bar.pixel(x, y) != background;
        if (ink) {
            if (start < 0)
                start = x;
            lastInk = x;
        } else if (start >= 0 && x - lastInk > Gap) {
            centres.append((start + lastInk) / 2);
            start = -1;
        }
    }
    return centres;
}

// The selected row's highlight in a column of pixels that starts above the
// tree: the first long run of one colour that is neither the window's
// background nor the view's white, with white (the empty rest) below it.
QPair<int, int> highlightedBand(const QImage &column)
{
    const QRgb white = qRgb(255, 255, 255);
    const QRgb background = column.pixel(0, 0);
    constexpr int MinimumRowHeight = 8;
    for (int top = 0; top < column.height();) {
        int end = top;
        while (end < column.height() && column.pixel(0, end) == column.pixel(0, top))
            ++end;
        const QRgb colour = column.pixel(0, top);
        if (end - top >= MinimumRowHeight && colour != white && colour != background)
            return end < column.height() && column.pixel(0, end) == white ? qMakePair(top, end)
                                                                          : qMakePair(-1, -1);
        top = end;
    }
    return {-1, -1};
}

} // namespace

// The real program on a virtual X server, driven with the real mouse and
// keyboard and the real dialogs: a child category is created from the
// tree's popup, given a title and saved through Qt's file dialog, and the
// file on disk holds what was typed.
class TestSorvekaE2e : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void createTitleAndSave_data();
    void createTitleAndSave();

private:
    QString m_xdotool;
};

void TestSorvekaE2e::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("no X display: run this test through xvfb-run");
    m_xdotool = QStandardPaths::findExecutable(u"xdotool"_s);
    if (m_xdotool.isEmpty())
        QSKIP("xdotool is not installed: the user's input cannot be played");
    QVERIFY2(QFile::exists(QStringLiteral(SORVEKA_SVK)), SORVEKA_SVK);
}

void TestSorvekaE2e::createTitleAndSave_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("ascii title") << u"Packing list"_s << u"packing.svk"_s;
    QTest::newRow("japanese title and file name") << u"持ち物リスト"_s << u"持ち物.svk"_s;
}

void TestSorvekaE2e::createTitleAndSave()
{
    QFETCH(QString, title);
    QFETCH(QString, fileName);

    X11Session x11;
    QVERIFY2(x11.isOpen(), "cannot open the X display");
    const XdotoolInput user(m_xdotool);

    // A user's fresh account: nothing from the machine's settings leaks in,
    // and the locale says nothing about Japanese.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDir folder(dir.path());
    QVERIFY(folder.mkpath(u"home"_s));
    QVERIFY(folder.mkpath(u"runtime"_s));
    QVERIFY(QFile::setPermissions(folder.filePath(u"runtime"_s),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString target = folder.filePath(fileName);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : {u"LC_ALL"_s, u"LC_MESSAGES"_s, u"LANGUAGE"_s, u"XDG_CONFIG_HOME"_s})
        environment.remove(name);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    environment.insert(u"LANG"_s, u"C"_s);
    environment.insert(u"HOME"_s, folder.filePath(u"home"_s));
    environment.insert(u"XDG_RUNTIME_DIR"_s, folder.filePath(u"runtime"_s));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(dir.path());
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(SORVEKA_BINARY), {});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    const auto stop = qScopeGuard([&program] {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
    });
    const qint64 pid = program.processId();

    // The window, drawn.
    unsigned long window = 0;
    QVERIFY2(pollUntil(program,
                       [&] {
                           const QList<unsigned long> windows = x11.windowsOf(pid);
                           window = windows.isEmpty() ? 0 : windows.constFirst();
                           return window != 0;
                       }),
             "no window of the program appeared");
    QCOMPARE(x11.titleOf(window), u"Sorveka"_s);
    const QRect frame = x11.geometryOf(window);
    QVERIFY2(frame.width() >= DesignClientWidth / 15,
             qPrintable(u"window %1x%2"_s.arg(frame.width()).arg(frame.height())));
    const Layout layout(frame.size());
    QVERIFY(layout.menuBarHeight > 0);
    const auto onScreen = [&frame](const QRect &inWindow) {
        return inWindow.translated(frame.topLeft());
    };

    // The new outline's root is the selected row: its highlight gives the
    // row's place and height.
    const QRect tree = layout.tree();
    const QRect probe(tree.x() + tree.width() * 3 / 4, tree.y() - 4, 1, tree.height() + 4);
    QPair<int, int> rootRow;
    QRgb highlight = 0;
    QVERIFY2(pollUntil(program,
                       [&] {
                           const QImage column = x11.grab(onScreen(probe));
                           rootRow = highlightedBand(column);
                           if (rootRow.first >= 0)
                               highlight = column.pixel(0, rootRow.first);
                           return rootRow.first >= 0;
                       }),
             "the root row is not highlighted");
    const int rowHeight = rootRow.second - rootRow.first;
    QVERIFY2(rowHeight >= 10 && rowHeight <= 60, qPrintable(QString::number(rowHeight)));
    const QPoint rootPoint(tree.x() + tree.width() / 3,
                           probe.y() + (rootRow.first + rootRow.second) / 2);
    const QPoint childPoint = rootPoint + QPoint(0, rowHeight);
    const QRect childRow(tree.x() + 2, childPoint.y() - rowHeight / 2 + 2, tree.width() - 4,
                         rowHeight - 4);
    QVERIFY2(isOneColour(x11.grab(onScreen(childRow))), "the tree already shows a second row");

    // The popup on the root, then its second item.
    QVERIFY2(user.click(window, rootPoint, 3), qPrintable(user.lastError()));
    QVERIFY2(pollUntil(program, [&] { return x11.windowsOf(pid).size() == 2; }),
             "the tree's popup did not open");
    QThread::msleep(SettleMs);
    QVERIFY2(user.keys({u"Down"_s, u"Down"_s, u"Return"_s}), qPrintable(user.lastError()));
    QVERIFY2(pollUntil(program, [&] { return x11.windowsOf(pid).size() == 1; }),
             "the popup did not close");
    QVERIFY2(pollUntil(program, [&] { return !isOneColour(x11.grab(onScreen(childRow))); }),
             "no child row appeared under the root");

    // The boxes still show the root until the child is clicked.
    const QRect titleBox = layout.titleBox();
    const QRect titleText = titleBox.adjusted(4, 4, -4, -4);
    const QImage rootTitle = x11.grab(onScreen(titleText));
    QThread::msleep(SettleMs);
    QVERIFY2(user.click(window, childPoint), qPrintable(user.lastError()));
    QVERIFY2(pollUntil(program, [&] { return x11.grab(onScreen(titleText)) != rootTitle; }),
             "the title box did not change to the child's title");

    // Select all shows the title in the highlight the tree's selected row has;
    // typed text replaces the selection, and with it the highlight.
    QThread::msleep(SettleMs);
    QVERIFY2(user.click(window, titleBox.center()), qPrintable(user.lastError()));
    QThread::msleep(SettleMs);
    QVERIFY2(user.keys({u"ctrl+a"_s}), qPrintable(user.lastError()));
    QVERIFY2(pollUntil(program, [&] { return contains(x11.grab(onScreen(titleText)), highlight); }),
             "select all in the title box shows no selection");
    QVERIFY2(user.type(title), qPrintable(user.lastError()));
    QVERIFY2(
            pollUntil(program, [&] { return !contains(x11.grab(onScreen(titleText)), highlight); }),
            "the typed title did not replace the selection");

    // Save: the outline has no file yet, so the dialog asks for one.
    const QRect bar = layout.toolbar();
    const QList<int> buttons = buttonCentres(x11.grab(onScreen(bar)));
    QVERIFY2(buttons.size() >= 3, qPrintable(QString::number(buttons.size())));
    QThread::msleep(SettleMs);
    QVERIFY2(user.click(window, QPoint(buttons[2], bar.center().y())),
             qPrintable(user.lastError()));
    unsigned long dialog = 0;
    QVERIFY2(pollUntil(program,
                       [&] {
                           for (unsigned long shown : x11.windowsOf(pid))
                               if (shown != window)
                                   dialog = shown;
                           return dialog != 0;
                       }),
             "no dialog appeared after the Save button");
    QCOMPARE(x11.titleOf(dialog), u"名前を付けて保存"_s);
    const QRect dialogFrame = x11.geometryOf(dialog);
    QVERIFY2(pollUntil(program, [&] { return !isOneColour(x11.grab(dialogFrame)); }),
             "the dialog shows nothing");
    QThread::msleep(SettleMs);
    const QString shot = QDir(QCoreApplication::applicationDirPath())
                                 .filePath(u"sorveka_e2e_save_dialog_%1.png"_s
                                                   .arg(QString::fromUtf8(QTest::currentDataTag()))
                                                   .replace(u' ', u'_'));
    QVERIFY(x11.grab(frame.united(dialogFrame)).save(shot));
    qInfo("screenshot: %s", qPrintable(shot));

    // The file name field has the focus.
    QVERIFY2(user.keys({u"ctrl+a"_s}), qPrintable(user.lastError()));
    QVERIFY2(user.type(target), qPrintable(user.lastError()));
    QThread::msleep(SettleMs);
    QVERIFY2(user.keys({u"Return"_s}), qPrintable(user.lastError()));
    QVERIFY2(pollUntil(program, [&] { return QFile::exists(target); }),
             qPrintable(target + u" was not written"_s));
    QVERIFY2(pollUntil(program, [&] { return x11.windowsOf(pid).size() == 1; }),
             "the dialog did not close");

    // The file, read back by the command-line tool.
    QProcess svk;
    svk.start(QStringLiteral(SORVEKA_SVK), {u"dump"_s, u"--format"_s, u"json"_s, target});
    QVERIFY(svk.waitForFinished(10000));
    QCOMPARE(svk.exitCode(), 0);
    QJsonParseError parseError;
    const QJsonObject dump =
            QJsonDocument::fromJson(svk.readAllStandardOutput(), &parseError).object();
    QCOMPARE(parseError.error, QJsonParseError::NoError);
    const QJsonObject root = dump.value(u"root"_s).toObject();
    QCOMPARE(root.value(u"title"_s).toString(), u"名前付けてね"_s);
    const QJsonArray children = root.value(u"children"_s).toArray();
    QCOMPARE(children.size(), 1);
    const QJsonObject child = children.at(0).toObject();
    QCOMPARE(child.value(u"title"_s).toString(), title);
    QCOMPARE(child.value(u"children"_s).toArray().size(), 0);
    QCOMPARE(dump.value(u"keyCounter"_s).toInt(), 2);

    // Everything is saved, so closing asks nothing: the program ends.
    x11.askToClose(window);
    unsigned long question = 0;
    pollUntil(program, [&] {
        for (unsigned long shown : x11.windowsOf(pid))
            if (shown != window)
                question = shown;
        return question != 0 || program.state() == QProcess::NotRunning;
    });
    QVERIFY2(question == 0, qPrintable(u"closing asked a question: "_s + x11.titleOf(question)));
    QVERIFY2(program.state() == QProcess::NotRunning,
             "the program did not end after its window was closed");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestSorvekaE2e)
#include "tst_sorveka_e2e.moc"
