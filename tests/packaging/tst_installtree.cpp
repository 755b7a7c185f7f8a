// Installs the build into a fresh prefix, as `cmake --install` does for a
// user, and checks the tree the way a desktop would read it: the files are
// where freedesktop.org desktops look, they name each other
// consistently, the validators accept them and the file type is recognised.

#include "tests/packaging/toolrun.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QLocale>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

const QString AppId = u"io.github.sorveka.Sorveka"_s;
const QString OutlineType = u"application/x-sorveka-outline"_s;
const QList<int> IconSizes{16, 22, 24, 32, 48, 64, 128, 256};
const QString XmlNamespace = u"http://www.w3.org/XML/1998/namespace"_s;

// Keys of the [Desktop Entry] group; other groups (actions) are left out.
QHash<QString, QString> readDesktopEntry(const QString &path)
{
    QHash<QString, QString> entry;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entry;
    bool inMainGroup = false;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (const QString &line : lines) {
        if (line.startsWith(u'[')) {
            inMainGroup = line == u"[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inMainGroup && equals > 0 && !line.startsWith(u'#'))
            entry.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return entry;
}

// The parts of the AppStream file and the MIME package the other files
// refer to. Translated texts are keyed "element[lang]".
struct XmlFacts
{
    QString error;
    QMultiHash<QString, QString> texts;
};

XmlFacts readXmlFacts(const QString &path)
{
    XmlFacts facts;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        facts.error = file.errorString();
        return facts;
    }
    static const QStringList leafElements{u"id"_s,        u"launchable"_s, u"binary"_s,
                                          u"mediatype"_s, u"summary"_s,    u"comment"_s,
                                          u"p"_s,         u"name"_s};
    QXmlStreamReader xml(&file);
    QString enclosing;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        if (name == u"release")
            facts.texts.insert(u"release@version"_s,
                               xml.attributes().value(u"version"_s).toString());
        if (name == u"mime-type")
            facts.texts.insert(u"mime-type@type"_s, xml.attributes().value(u"type"_s).toString());
        if (name == u"sub-class-of")
            facts.texts.insert(u"sub-class-of@type"_s,
                               xml.attributes().value(u"type"_s).toString());
        if (name == u"description" || name == u"releases" || name == u"screenshot")
            enclosing = name;
        if (!leafElements.contains(name))
            continue;
        const QString lang = xml.attributes().value(XmlNamespace, u"lang"_s).toString();
        // Paragraphs of release notes and screenshot captions are not the
        // program's description.
        const QString key = (name == u"p" ? enclosing + u"/p" : name)
                + (lang.isEmpty() ? QString() : u'[' + lang + u']');
        facts.texts.insert(
                key, xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified());
    }
    if (xml.hasError())
        facts.error = xml.errorString();
    return facts;
}

bool hasJapanese(const QString &text)
{
    static const QRegularExpression kana(u"[\\x{3040}-\\x{30ff}\\x{4e00}-\\x{9fff}]"_s);
    return text.contains(kana);
}

} // namespace

class TestInstallTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installedFiles_data();
    void installedFiles();
    void everyInstalledProgramIsProvided();
    void iconSizes_data();
    void iconSizes();
    void crossReferences_data();
    void crossReferences();
    void japaneseTexts_data();
    void japaneseTexts();
    void validators_data();
    void validators();
    void fileType_data();
    void fileType();
    void fileTypeDescription();

private:
    QString installed(const QString &relative) const { return m_prefix.filePath(relative); }
    bool prepareMimeDatabase();

    QTemporaryDir m_prefix;
    QTemporaryDir m_mimeHome;
    QHash<QString, QString> m_desktop;
    XmlFacts m_metainfo;
    XmlFacts m_mimePackage;
    bool m_mimeReady = false;
    QString m_mimeProblem;
};

void TestInstallTree::initTestCase()
{
    QVERIFY(m_prefix.isValid());
    const ToolResult install = runTool(
            QStringLiteral(SORVEKA_CMAKE_COMMAND),
            {u"--install"_s, QStringLiteral(SORVEKA_BUILD_DIR), u"--prefix"_s, m_prefix.path()});
    QVERIFY2(install.succeeded(), qUtf8Printable(install.output));

    m_desktop = readDesktopEntry(installed(u"share/applications/"_s + AppId + u".desktop"));
    QVERIFY2(!m_desktop.isEmpty(), "the desktop entry is missing or empty");
    m_metainfo = readXmlFacts(installed(u"share/metainfo/"_s + AppId + u".metainfo.xml"));
    QVERIFY2(m_metainfo.error.isEmpty(), qUtf8Printable(m_metainfo.error));
    m_mimePackage = readXmlFacts(installed(u"share/mime/packages/"_s + AppId + u".xml"));
    QVERIFY2(m_mimePackage.error.isEmpty(), qUtf8Printable(m_mimePackage.error));
}

void TestInstallTree::installedFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("executable");

    QTest::newRow("program") << u"bin/sorveka"_s << true;
    if (SORVEKA_HAS_SVK)
        QTest::newRow("command-line tool") << u"bin/svk"_s << true;
    QTest::newRow("menu entry") << u"share/applications/"_s + AppId + u".desktop" << false;
    QTest::newRow("file type") << u"share/mime/packages/"_s + AppId + u".xml" << false;
    QTest::newRow("software centre data")
            << u"share/metainfo/"_s + AppId + u".metainfo.xml" << false;
    QTest::newRow("scalable icon")
            << u"share/icons/hicolor/scalable/apps/"_s + AppId + u".svg" << false;
}

void TestInstallTree::installedFiles()
{
    QFETCH(QString, path);
    QFETCH(bool, executable);

    const QFileInfo info(installed(path));
    QVERIFY2(info.isFile(), qUtf8Printable(path + u" is not installed"));
    QVERIFY(info.size() > 0);
    QCOMPARE(info.isExecutable(), executable);
}

// A binary in bin/ that the AppStream data does not announce is invisible to
// software centres searching by command; an announced one that is missing
// is a broken promise.
void TestInstallTree::everyInstalledProgramIsProvided()
{
    QStringList inBin = QDir(installed(u"bin"_s)).entryList(QDir::Files);
    QStringList provided = m_metainfo.texts.values(u"binary"_s);
    inBin.sort();
    provided.sort();
    QCOMPARE(provided, inBin);
}

void TestInstallTree::iconSizes_data()
{
    QTest::addColumn<int>("size");
    for (int size : IconSizes)
        QTest::newRow(qPrintable(QStringLiteral("%1 px").arg(size))) << size;
}

void TestInstallTree::iconSizes()
{
    QFETCH(int, size);

    const QString path = installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/").arg(size)
                                   + AppId + u".png");
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QCOMPARE(reader.format(), QByteArray("png"));
    QCOMPARE(reader.size(), QSize(size, size));

    const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!image.isNull(), qUtf8Printable(reader.errorString()));
    // The drawing leaves the corners empty and fills much of the middle: a
    // blank or fully opaque square means the rendering went wrong.
    QCOMPARE(qAlpha(image.pixel(size - 1, 0)), 0);
    int opaque = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    QVERIFY2(opaque > size * size / 5,
             qPrintable(QStringLiteral("only %1 opaque pixels").arg(opaque)));
}

// The files find each other by name; a rename in one of them breaks the
// menu entry, the icon or the file association silently.
void TestInstallTree::crossReferences_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");

    const QStringList desktopFiles =
            QDir(installed(u"share/applications"_s)).entryList(QDir::Files);
    const QStringList scalableIcons = QDir(installed(u"share/icons/hicolor/scalable/apps"_s))
                                              .entryList({u"*.svg"_s}, QDir::Files);
    const QString definedType = m_mimePackage.texts.value(u"mime-type@type"_s);

    QTest::newRow("one desktop file") << QString::number(desktopFiles.size()) << u"1"_s;
    QTest::newRow("desktop file named after the component id")
            << desktopFiles.value(0) << m_metainfo.texts.value(u"id"_s) + u".desktop";
    QTest::newRow("launchable is the desktop file")
            << m_metainfo.texts.value(u"launchable"_s) << desktopFiles.value(0);
    QTest::newRow("Icon names the installed icon")
            << m_desktop.value(u"Icon"_s) << QFileInfo(scalableIcons.value(0)).completeBaseName();
    QTest::newRow("Exec starts the program with one file")
            << m_desktop.value(u"Exec"_s) << u"sorveka %f"_s;
    QTest::newRow("TryExec names the program") << m_desktop.value(u"TryExec"_s) << u"sorveka"_s;
    QTest::newRow("desktop MimeType is the defined type")
            << m_desktop.value(u"MimeType"_s) << definedType + u';';
    QTest::newRow("AppStream mediatype is the defined type")
            << m_metainfo.texts.value(u"mediatype"_s) << definedType;
    QTest::newRow("outline files are plain text")
            << m_mimePackage.texts.value(u"sub-class-of@type"_s) << u"text/plain"_s;
    QTest::newRow("release is the project version") << m_metainfo.texts.value(u"release@version"_s)
                                                    << QStringLiteral(SORVEKA_PROJECT_VERSION);
}

void TestInstallTree::crossReferences()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(actual, expected);
}

void TestInstallTree::japaneseTexts_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("menu name") << m_desktop.value(u"Name[ja]"_s);
    QTest::newRow("menu generic name") << m_desktop.value(u"GenericName[ja]"_s);
    QTest::newRow("menu comment") << m_desktop.value(u"Comment[ja]"_s);
    QTest::newRow("menu keywords") << m_desktop.value(u"Keywords[ja]"_s);
    QTest::newRow("AppStream summary") << m_metainfo.texts.value(u"summary[ja]"_s);
    QTest::newRow("AppStream description")
            << m_metainfo.texts.values(u"description/p[ja]"_s).join(u' ');
    QTest::newRow("file type comment") << m_mimePackage.texts.value(u"comment[ja]"_s);
}

void TestInstallTree::japaneseTexts()
{
    QFETCH(QString, text);
    QVERIFY2(hasJapanese(text), qUtf8Printable(u"no Japanese text in \""_s + text + u'"'));
}

void TestInstallTree::validators_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");

    QTest::newRow("desktop entry") << u"desktop-file-validate"_s << QStringList()
                                   << u"share/applications/"_s + AppId + u".desktop";
    QTest::newRow("AppStream data")
            << u"appstreamcli"_s << QStringList{u"validate"_s, u"--no-net"_s, u"--pedantic"_s}
            << u"share/metainfo/"_s + AppId + u".metainfo.xml";
    QTest::newRow("file type XML") << u"xmllint"_s << QStringList{u"--noout"_s}
                                   << u"share/mime/packages/"_s + AppId + u".xml";
}

void TestInstallTree::validators()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);

    const QString program = findTool(tool);
    if (program.isEmpty())
        QSKIP(qPrintable(tool + u" is not installed (scripts/install-deps.sh installs it)"));

    const ToolResult result = runTool(program, arguments << installed(file));
    QVERIFY2(result.succeeded(), qUtf8Printable(result.output));
    // desktop-file-validate exits 0 on warnings; a warning is still a fault.
    QVERIFY2(!result.output.contains(u"error:"_s) && !result.output.contains(u"warning:"_s),
             qUtf8Printable(result.output));
}

// Compiles a private copy of the MIME database (the system's definitions
// plus ours, so text/plain exists) and points Qt at it before Qt's MIME
// database is first used.
bool TestInstallTree::prepareMimeDatabase()
{
    if (m_mimeReady || !m_mimeProblem.isEmpty())
        return m_mimeReady;

    const QString updater = findTool(u"update-mime-database"_s);
    if (updater.isEmpty()) {
        m_mimeProblem =
                u"update-mime-database is not installed (scripts/install-deps.sh installs it)"_s;
        return false;
    }
    const QString packages = m_mimeHome.filePath(u"share/mime/packages"_s);
    QDir().mkpath(packages);
    QFile::copy(installed(u"share/mime/packages/"_s + AppId + u".xml"),
                packages + u'/' + AppId + u".xml");
    const QString systemTypes = u"/usr/share/mime/packages/freedesktop.org.xml"_s;
    if (QFile::exists(systemTypes))
        QFile::copy(systemTypes, packages + u"/freedesktop.org.xml");

    const ToolResult update = runTool(updater, {m_mimeHome.filePath(u"share/mime"_s)});
    if (!update.succeeded()) {
        m_mimeProblem = u"update-mime-database failed: "_s + update.output;
        return false;
    }
    qputenv("XDG_DATA_DIRS", QFile::encodeName(m_mimeHome.filePath(u"share"_s)));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_mimeHome.filePath(u"home"_s)));
    m_mimeReady = true;
    return true;
}

void TestInstallTree::fileType_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");

    const QByteArray outline = "SORVEKA_KEY=C0\r\nSORVEKA_TITLE=Trip\r\nSORVEKA_CHECKED=False\r\n"
                               "SORVEKA_DATA_CHECK_MARK\r\n\r\nSORVEKA_END_CHECK_MARK\r\n\r\n";
    QTest::newRow("svk name, outline") << u"trip.svk"_s << outline << OutlineType;
    QTest::newRow("svk name, empty") << u"new.svk"_s << QByteArray() << OutlineType;
    QTest::newRow("upper-case extension") << u"TRIP.SVK"_s << outline << OutlineType;
    QTest::newRow("no extension, outline") << u"trip"_s << outline << OutlineType;
    QTest::newRow("no extension, other text")
            << u"notes"_s << QByteArray("Leave on Friday.\r\n") << u"text/plain"_s;
    QTest::newRow("key line later in the file")
            << u"notes"_s << "memo\r\n" + outline << u"text/plain"_s;
    QTest::newRow("txt name wins over content") << u"trip.txt"_s << outline << u"text/plain"_s;
}

void TestInstallTree::fileType()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);

    if (!prepareMimeDatabase())
        QSKIP(qUtf8Printable(m_mimeProblem));
    const QMimeDatabase database;
    QCOMPARE(database.mimeTypeForFileNameAndData(fileName, content).name(), expected);
}

void TestInstallTree::fileTypeDescription()
{
    if (!prepareMimeDatabase())
        QSKIP(qUtf8Printable(m_mimeProblem));

    const QMimeType type = QMimeDatabase().mimeTypeForName(OutlineType);
    QVERIFY(type.isValid());
    QVERIFY(type.inherits(u"text/plain"_s));
    QCOMPARE(type.suffixes(), QStringList{u"svk"_s});

    // A file manager shows the comment in the user's language.
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    const QString japanese = type.comment();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString english = type.comment();
    QLocale::setDefault(previous);
    QVERIFY2(hasJapanese(japanese), qUtf8Printable(japanese));
    QVERIFY2(!hasJapanese(english) && !english.isEmpty(), qUtf8Printable(english));
}

QTEST_GUILESS_MAIN(TestInstallTree)
#include "tst_installtree.moc"
