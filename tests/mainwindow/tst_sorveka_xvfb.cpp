#include "tests/support/samplefiles.h"
#include "x11session.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Each wait below is bounded: polls of 100 ms, at most this many.
constexpr int MaxPolls = 150;

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
    std::unique_ptr<X11Session> m_x11;
};

void TestSorvekaXvfb::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("no X display: run this test through xvfb-run");
    m_x11 = std::make_unique<X11Session>();
    QVERIFY2(m_x11->isOpen(), "cannot open the X display");
}

void TestSorvekaXvfb::cleanupTestCase()
{
    m_x11.reset();
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

    unsigned long window = 0;
    for (int i = 0; i < MaxPolls && !window; ++i) {
        if (program.waitForFinished(100))
            QFAIL("the program ended before showing its window");
        const QList<unsigned long> windows = m_x11->windowsOf(program.processId());
        window = windows.isEmpty() ? 0 : windows.constFirst();
    }
    QVERIFY2(window, "no window of the program appeared");
    QCOMPARE(m_x11->titleOf(window), u"Sorveka [旅行メモ.svk]"_s);

    const QString import = QStandardPaths::findExecutable(u"import"_s);
    if (import.isEmpty()) {
        qInfo("ImageMagick's import is not installed: no screenshot taken");
    } else {
        // The first paint may come a little after the window is mapped.
        const QString shot =
                QDir(QCoreApplication::applicationDirPath()).filePath(u"sorveka_xvfb.png"_s);
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
    m_x11->askToClose(window);
    QVERIFY2(program.waitForFinished(MaxPolls * 100),
             "the program did not end after its window was closed");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestSorvekaXvfb)
#include "tst_sorveka_xvfb.moc"
