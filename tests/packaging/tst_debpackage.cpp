// Builds the Debian package with cpack, as the README tells users to, and
// reads it back with dpkg-deb. Installing it into the running system is
// only done where that is wanted: as root, and in CI or when asked with
// SORVEKA_TEST_DPKG=1.

#include "tests/packaging/toolrun.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString AppId = u"io.github.sorveka.Sorveka"_s;
const QString PackageName = u"sorveka"_s;

// "Field: value" lines of a control file; continuation lines (starting
// with a space) belong to the field before.
QHash<QString, QString> parseControl(const QString &text)
{
    QHash<QString, QString> fields;
    QString current;
    for (const QString &line : text.split(u'\n')) {
        if (line.startsWith(u' ') && !current.isEmpty()) {
            fields[current] += u'\n' + line.trimmed();
            continue;
        }
        const qsizetype colon = line.indexOf(u':');
        if (colon <= 0)
            continue;
        current = line.left(colon);
        fields.insert(current, line.mid(colon + 1).trimmed());
    }
    return fields;
}

// Depends as a list of alternatives groups with the version constraints
// removed, e.g. "fonts-ipafont-gothic | fonts-noto-cjk", "libc6".
QStringList dependencyGroups(const QString &depends)
{
    static const QRegularExpression version(u"\\s*\\([^)]*\\)"_s);
    QStringList groups;
    for (QString group : depends.split(u',', Qt::SkipEmptyParts)) {
        group.remove(version);
        groups << group.simplified();
    }
    return groups;
}

bool packageInstalled(const QString &name)
{
    const ToolResult status = runTool(u"dpkg-query"_s, {u"-W"_s, u"-f=${Status}"_s, name});
    return status.succeeded() && status.output.contains(u"install ok installed"_s);
}

} // namespace

class TestDebPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fileName();
    void controlFields_data();
    void controlFields();
    void dependencies_data();
    void dependencies();
    void contents_data();
    void contents();
    void everythingUnderUsr();
    void installAndRemove();

private:
    QTemporaryDir m_output;
    QString m_deb;
    QHash<QString, QString> m_control;
    QStringList m_contents;
};

void TestDebPackage::initTestCase()
{
    for (const QString &tool : {u"dpkg-deb"_s, u"dpkg-shlibdeps"_s, u"dpkg-query"_s}) {
        if (findTool(tool).isEmpty())
            QSKIP(qUtf8Printable(
                    tool + u" is not installed (scripts/install-deps.sh installs dpkg-dev)"));
    }
    QVERIFY(m_output.isValid());

    // -B keeps the package and cpack's staging tree out of the build folder.
    const ToolResult cpack = runTool(QStringLiteral(SORVEKA_CPACK_COMMAND),
                                     {u"-G"_s, u"DEB"_s, u"-B"_s, m_output.path(), u"--config"_s,
                                      QStringLiteral(SORVEKA_BUILD_DIR "/CPackConfig.cmake")},
                                     QStringLiteral(SORVEKA_BUILD_DIR), 300000);
    QVERIFY2(cpack.succeeded(), qUtf8Printable(cpack.output));

    const QStringList debs = QDir(m_output.path()).entryList({u"*.deb"_s}, QDir::Files);
    QVERIFY2(debs.size() == 1, qUtf8Printable(debs.join(u", ") + u"\n" + cpack.output));
    m_deb = m_output.filePath(debs.first());

    const ToolResult info = runTool(u"dpkg-deb"_s, {u"-I"_s, m_deb, u"control"_s});
    QVERIFY2(info.succeeded(), qUtf8Printable(info.output));
    m_control = parseControl(info.output);

    const ToolResult listing = runTool(u"dpkg-deb"_s, {u"-c"_s, m_deb});
    QVERIFY2(listing.succeeded(), qUtf8Printable(listing.output));
    // "-rwxr-xr-x root/root 197440 2026-12-07 05:00 ./usr/bin/sorveka": the
    // path is the sixth column; directories end with a slash.
    for (const QString &line : listing.output.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList columns = line.split(u' ', Qt::SkipEmptyParts);
        if (columns.size() >= 6)
            m_contents << columns.mid(5).join(u' ');
    }
}

// The README's install command names this file.
void TestDebPackage::fileName()
{
    const ToolResult architecture = runTool(u"dpkg"_s, {u"--print-architecture"_s});
    QVERIFY2(architecture.succeeded(), qUtf8Printable(architecture.output));
    QCOMPARE(QFileInfo(m_deb).fileName(),
             QStringLiteral("sorveka_%1_%2.deb")
                     .arg(QStringLiteral(SORVEKA_PROJECT_VERSION), architecture.output.trimmed()));
}

void TestDebPackage::controlFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pattern");

    QTest::newRow("package name") << u"Package"_s << u"^sorveka$"_s;
    QTest::newRow("version") << u"Version"_s
                             << u"^"_s
                    + QRegularExpression::escape(QStringLiteral(SORVEKA_PROJECT_VERSION)) + u'$';
    QTest::newRow("section") << u"Section"_s << u"^(editors|utils)$"_s;
    QTest::newRow("maintainer with address") << u"Maintainer"_s << u"^[^<]+ <[^@>]+@[^>]+>$"_s;
    QTest::newRow("summary and long description") << u"Description"_s << u"^\\S.*\\n\\S"_s;
    QTest::newRow("architecture") << u"Architecture"_s << u"^[a-z0-9-]+$"_s;
}

void TestDebPackage::controlFields()
{
    QFETCH(QString, field);
    QFETCH(QString, pattern);

    QVERIFY2(m_control.contains(field), qUtf8Printable(field + u" is missing"));
    const QRegularExpression expression(pattern);
    QVERIFY(expression.isValid());
    QVERIFY2(expression.match(m_control.value(field)).hasMatch(),
             qUtf8Printable(field + u": " + m_control.value(field)));
}

// What Qt loads at run time is named by hand; the libraries the binaries
// link come from dpkg-shlibdeps, so their presence shows it ran.
void TestDebPackage::dependencies_data()
{
    QTest::addColumn<QString>("group");

    QTest::newRow("Japanese font") << u"fonts-ipafont-gothic | fonts-noto-cjk"_s;
    QTest::newRow("Qt's Japanese translation") << u"qt6-translations-l10n"_s;
    QTest::newRow("platform plugins") << u"qt6-qpa-plugins"_s;
    QTest::newRow("SVG library") << u"libqt6svg6"_s;
    QTest::newRow("widgets, found by shlibdeps") << u"libqt6widgets6"_s;
    QTest::newRow("C library, found by shlibdeps") << u"libc6"_s;
}

void TestDebPackage::dependencies()
{
    QFETCH(QString, group);
    const QStringList groups = dependencyGroups(m_control.value(u"Depends"_s));
    QVERIFY2(groups.contains(group),
             qUtf8Printable(u"Depends: "_s + m_control.value(u"Depends"_s)));
}

void TestDebPackage::contents_data()
{
    QTest::addColumn<QString>("path");

    QTest::newRow("program") << u"./usr/bin/sorveka"_s;
    if (SORVEKA_HAS_SVK)
        QTest::newRow("command-line tool") << u"./usr/bin/svk"_s;
    QTest::newRow("menu entry") << u"./usr/share/applications/"_s + AppId + u".desktop";
    QTest::newRow("file type") << u"./usr/share/mime/packages/"_s + AppId + u".xml";
    QTest::newRow("software centre data") << u"./usr/share/metainfo/"_s + AppId + u".metainfo.xml";
    QTest::newRow("scalable icon")
            << u"./usr/share/icons/hicolor/scalable/apps/"_s + AppId + u".svg";
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QTest::newRow(qPrintable(QStringLiteral("%1 px icon").arg(size)))
                << QStringLiteral("./usr/share/icons/hicolor/%1x%1/apps/").arg(size) + AppId
                        + u".png";
    }
}

void TestDebPackage::contents()
{
    QFETCH(QString, path);
    QVERIFY2(m_contents.contains(path), qUtf8Printable(m_contents.join(u'\n')));
}

// An install rule with an absolute destination would leak a build machine
// path into the package; everything belongs below /usr.
void TestDebPackage::everythingUnderUsr()
{
    QVERIFY(!m_contents.isEmpty());
    for (const QString &path : std::as_const(m_contents))
        QVERIFY2(path == u"./usr/" || path.startsWith(u"./usr/"), qUtf8Printable(path));
}

void TestDebPackage::installAndRemove()
{
    const bool wanted =
            qEnvironmentVariable("SORVEKA_TEST_DPKG") == u"1" || !qEnvironmentVariableIsEmpty("CI");
    if (!wanted)
        QSKIP("installs into the system only in CI or with SORVEKA_TEST_DPKG=1");
    if (geteuid() != 0)
        QSKIP("installing the package needs root");
    if (packageInstalled(PackageName))
        QSKIP("a sorveka package is installed already; leaving it alone");

    const QString program = u"/usr/bin/sorveka"_s;
    ToolResult install = runTool(u"dpkg"_s, {u"-i"_s, m_deb}, {}, 600000);
    if (!install.succeeded()) {
        // dpkg leaves the package unconfigured when a dependency is missing;
        // apt fetches the dependencies and finishes the configuration.
        qputenv("DEBIAN_FRONTEND", "noninteractive");
        const ToolResult fix =
                runTool(u"apt-get"_s, {u"install"_s, u"-f"_s, u"-y"_s, u"-q"_s}, {}, 600000);
        install.output += u"\napt-get install -f:\n"_s + fix.output;
    }
    const bool installed = packageInstalled(PackageName);
    const bool programThere = QFileInfo(program).isExecutable();
    const bool menuEntryThere = QFile::exists(u"/usr/share/applications/"_s + AppId + u".desktop");

    // Started offscreen, a program whose libraries or plugins are missing
    // exits at once; a working one waits for its user.
    bool keptRunning = false;
    if (programThere) {
        QProcess running;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        running.setProcessEnvironment(environment);
        running.setProcessChannelMode(QProcess::MergedChannels);
        running.start(program, {});
        keptRunning = running.waitForStarted() && !running.waitForFinished(3000);
        if (keptRunning) {
            running.kill();
            running.waitForFinished();
        } else {
            install.output += u"\nsorveka exited: "_s + QString::fromLocal8Bit(running.readAll());
        }
    }

    // Remove before judging, so a failed check never leaves the package behind.
    const ToolResult remove = runTool(u"dpkg"_s, {u"-r"_s, PackageName}, {}, 300000);

    QVERIFY2(installed, qUtf8Printable(install.output));
    QVERIFY2(programThere, qUtf8Printable(program + u" is missing after installing"));
    QVERIFY(menuEntryThere);
    QVERIFY2(keptRunning, qUtf8Printable(install.output));
    QVERIFY2(remove.succeeded(), qUtf8Printable(remove.output));
    QVERIFY(!packageInstalled(PackageName));
    QVERIFY(!QFile::exists(program));
}

QTEST_GUILESS_MAIN(TestDebPackage)
#include "tst_debpackage.moc"
