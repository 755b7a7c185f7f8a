#include "fakeinputmethod.h"
#include "formdriver.h"
#include "scriptedquestions.h"
#include "tests/support/samplefiles.h"
#include "tests/support/testfiles.h"

#include "document/document.h"
#include "file/cp932.h"
#include "file/outlinereader.h"
#include "mainwindow/commandtables.h"
#include "mainwindow/form1.h"
#include "mainwindow/interfacestyle.h"
#include "resources/pictures.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

const QString InitialTitle = u"名前付けてね"_s;
const QString ReadErrorTitle = u"読み込みエラー"_s;

// Replaces a box's text the way a user does: select all, then type. Lines of
// `text` become presses of Return.
void replaceText(QWidget *box, const QString &text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, lines[i]);
    }
}

QString bodyOf(Document &document, const QString &key)
{
    const Category *category = document.outline.item(key);
    return category ? document.outline.TextData[size_t(category->keyNumber())]
                    : u"<no %1>"_s.arg(key);
}

QString titleOf(Document &document, const QString &key)
{
    const Category *category = document.outline.item(key);
    return category ? category->title() : u"<no %1>"_s.arg(key);
}

// Whether `picture` appears somewhere in `shot` at its own size: every fully
// opaque pixel of it found there unchanged. Edge pixels blend with whatever
// is behind them and are left out.
bool showsPicture(const QImage &shot, const QImage &picture)
{
    for (int top = 0; top + picture.height() <= shot.height(); ++top) {
        for (int left = 0; left + picture.width() <= shot.width(); ++left) {
            bool same = true;
            for (int y = 0; y < picture.height() && same; ++y) {
                for (int x = 0; x < picture.width() && same; ++x) {
                    const QRgb pixel = picture.pixel(x, y);
                    same = qAlpha(pixel) < 255 || shot.pixel(left + x, top + y) == pixel;
                }
            }
            if (same)
                return true;
        }
    }
    return false;
}

// The tooltip on screen, Qt's own label.
QLabel *shownTooltip()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == u"qtooltip_label" && widget->isVisible())
            return qobject_cast<QLabel *>(widget);
    }
    return nullptr;
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startUp_data();
    void startUp();
    void missingStartFileIsSavedWithoutDialog();
    void unreadableStartFileIsNeverSavedOver();

    void typingIsWrittenBackOnClick_data();
    void typingIsWrittenBackOnClick();
    void typingThenPressOnEmptyTreeSpace();
    void longTitleSurvivesWriteBack();
    void largeBodySurvivesTitleTyping();
    void keyboardSelectionLoadsLikeClick_data();
    void keyboardSelectionLoadsLikeClick();
    void clickWithoutTypingChangesNothing();
    void pasteAndInputMethodSetPending_data();
    void pasteAndInputMethodSetPending();
    void compositionIsKeptByCommands_data();
    void compositionIsKeptByCommands();
    void lineBreaksEnterTitleAsBlanks_data();
    void lineBreaksEnterTitleAsBlanks();
    void titleBoxShowsStartOfTitle();
    void titleTypingLeavesBodyAsStored();

    void rightClickActsOnSelection_data();
    void rightClickActsOnSelection();
    void selectionStaysHighlighted_data();
    void selectionStaysHighlighted();
    void collapsingAncestorSelectsIt_data();
    void collapsingAncestorSelectsIt();
    void categoryWithoutChildrenShowsPage_data();
    void categoryWithoutChildrenShowsPage();
    void newCategoryScrolledIntoView_data();
    void newCategoryScrolledIntoView();
    void doubleClick_data();
    void doubleClick();
    void expandCollapseIcons_data();
    void expandCollapseIcons();

    void newOutline_data();
    void newOutline();

    void layout_data();
    void layout();
    void treeColumnFitsRowsWhenLoaded();
    void treeColumnFollowsViewWidth();
    void windowIconFollowsFirstFrame();

    void tabOrder();
    void toolbarPicturesFollowButtonState();
    void toolbarButtonShowsItsPicture_data();
    void toolbarButtonShowsItsPicture();
    void aboutOpensOnce();
    void aboutReadsTheFileAtEachLoad();
    void treeTooltipShowsTitleAsItIs();
    void closing_data();
    void closing();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    bool startWithTrip();

    QTemporaryDir m_dir;
    QString m_trip;
    std::unique_ptr<FormDriver> m_driver;
};

void TestForm1::initTestCase()
{
    // The program's own style, as it runs with.
    QApplication::setStyle(new InterfaceStyle);
    QVERIFY(m_dir.isValid());
    m_trip = path(u"旅行メモ.svk"_s);
    QVERIFY(samplefiles::writeTrip(m_trip));
    QVERIFY(samplefiles::writeTrip(path(u"trip.svk"_s)));
    QVERIFY(samplefiles::writeTrip(path(u"my trip.svk"_s)));
    QVERIFY(samplefiles::writeFailingPartWay(path(u"broken.svk"_s)));
    QVERIFY(QDir(m_dir.path()).mkdir(u"folder.svk"_s));
}

void TestForm1::init()
{
    m_driver = std::make_unique<FormDriver>();
}

void TestForm1::cleanup()
{
    const QStringList problems = m_driver->questions().problems();
    m_driver.reset();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

bool TestForm1::startWithTrip()
{
    return m_driver->start({m_trip}, m_dir.path()) && m_driver->document().outline.count() == 5;
}

void TestForm1::startUp_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("startFolder");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("currentFile");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("rootTitle");
    QTest::addColumn<QString>("bodyBox");
    QTest::addColumn<int>("keyCounter");
    QTest::addColumn<bool>("readError");

    const QString other = QDir::tempPath();
    QTest::newRow("no argument") << QStringList() << other << u"Sorveka"_s << QString() << 1
                                 << InitialTitle << QString() << 1 << false;
    QTest::newRow("good file, Japanese name")
            << QStringList{m_trip} << other << u"Sorveka [旅行メモ.svk]"_s << m_trip << 5
            << u"旅行"_s << u"金曜日に出発。"_s << 5 << false;
    QTest::newRow("relative path against the start folder")
            << QStringList{u"trip.svk"_s} << m_dir.path() << u"Sorveka [trip.svk]"_s
            << path(u"trip.svk"_s) << 5 << u"旅行"_s << u"金曜日に出発。"_s << 5 << false;
    QTest::newRow("blank in the path, split into two arguments")
            << QStringList{u"my"_s, u"trip.svk"_s} << m_dir.path() << u"Sorveka [my trip.svk]"_s
            << path(u"my trip.svk"_s) << 5 << u"旅行"_s << u"金曜日に出発。"_s << 5 << false;
    QTest::newRow("missing file keeps its name")
            << QStringList{path(u"missing.svk"_s)} << other << u"Sorveka"_s
            << path(u"missing.svk"_s) << 1 << InitialTitle << QString() << 1 << true;
    QTest::newRow("file failing part-way leaves no name")
            << QStringList{path(u"broken.svk"_s)} << other << u"Sorveka"_s << QString() << 1
            << InitialTitle << QString() << 1 << true;
    QTest::newRow("a folder given as the file leaves no name")
            << QStringList{path(u"folder.svk"_s)} << other << u"Sorveka"_s << QString() << 1
            << InitialTitle << QString() << 1 << true;
}

void TestForm1::startUp()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, startFolder);
    QFETCH(QString, caption);
    QFETCH(QString, currentFile);
    QFETCH(int, count);
    QFETCH(QString, rootTitle);
    QFETCH(QString, bodyBox);
    QFETCH(int, keyCounter);
    QFETCH(bool, readError);

    if (readError)
        m_driver->questions().expectError();
    QVERIFY(m_driver->start(arguments, startFolder));

    Document &document = m_driver->document();
    const Category *root = document.outline.root();
    QVERIFY(root);
    QCOMPARE(m_driver->form().windowTitle(), caption);
    QCOMPARE(document.CurrentFile, currentFile);
    QCOMPARE(document.outline.count(), count);
    QCOMPARE(root->title(), rootTitle);
    QCOMPARE(document.outline.KeyCounter, keyCounter);
    QCOMPARE(document.outline.selected(), root);
    QCOMPARE(document.EditIndex, 1);
    QVERIFY(!document.EditPending);
    QVERIFY(!document.DataChanged);
    QCOMPARE(m_driver->titleBox()->text(), rootTitle);
    QCOMPARE(m_driver->bodyBox()->toPlainText(), bodyBox);
    QCOMPARE(m_driver->tree()->currentIndex(), m_driver->indexOf(root));
    if (count == 1)
        QCOMPARE(root->image(), 1);

    const auto errors = m_driver->questions().askedOf(ScriptedQuestions::Kind::Error);
    QCOMPARE(errors.size(), readError ? 1 : 0);
    if (readError)
        QCOMPARE(errors.first().title, ReadErrorTitle);
}

void TestForm1::missingStartFileIsSavedWithoutDialog()
{
    const QString target = path(u"new outline.svk"_s);
    QFile::remove(target);
    m_driver->questions().expectError();
    QVERIFY(m_driver->start({target}, QString()));
    replaceText(m_driver->titleBox(), u"Plan"_s);
    QVERIFY(m_driver->clickToolbar(u"tSave"_s));

    QCOMPARE(m_driver->questions().askedTitles(), QStringList{u"error|"_s + ReadErrorTitle});
    QVERIFY(QFile::exists(target));
    QVERIFY(files::bytesOf(target).contains("SORVEKA_TITLE=Plan\r\n"));
    QVERIFY(!m_driver->document().DataChanged);
}

void TestForm1::unreadableStartFileIsNeverSavedOver()
{
    const QString broken = path(u"broken.svk"_s);
    const QByteArray before = files::bytesOf(broken);
    m_driver->questions().expectError();
    m_driver->questions().answerSave(QString());
    QVERIFY(m_driver->start({broken}, QString()));
    replaceText(m_driver->titleBox(), u"Plan"_s);
    QVERIFY(m_driver->clickToolbar(u"tSave"_s));

    // Save had no name to write to, so it asked; cancelling wrote nothing.
    QCOMPARE(m_driver->questions().askedOf(ScriptedQuestions::Kind::Save).size(), 1);
    QCOMPARE(files::bytesOf(broken), before);
    QVERIFY(m_driver->document().DataChanged);
    QCOMPARE(titleOf(m_driver->document(), u"C0"_s), u"Plan"_s);
}

void TestForm1::typingIsWrittenBackOnClick_data()
{
    QTest::addColumn<QString>("titleTyped");
    QTest::addColumn<QString>("bodyTyped");
    QTest::addColumn<bool>("arrowOnly");
    QTest::addColumn<QString>("storedTitle");
    QTest::addColumn<QString>("storedBody");

    QTest::newRow("title") << u"Tickets"_s << QString() << false << u"Tickets"_s << QString();
    QTest::newRow("body of two lines, with CR LF stored")
            << QString() << u"one\ntwo"_s << false << u"切符"_s << u"one\r\ntwo"_s;
    QTest::newRow("title and body") << u"T"_s << u"B"_s << false << u"T"_s << u"B"_s;
    QTest::newRow("arrow key only") << QString() << QString() << true << u"切符"_s << QString();
}

void TestForm1::typingIsWrittenBackOnClick()
{
    QFETCH(QString, titleTyped);
    QFETCH(QString, bodyTyped);
    QFETCH(bool, arrowOnly);
    QFETCH(QString, storedTitle);
    QFETCH(QString, storedBody);

    QVERIFY(startWithTrip());
    Document &document = m_driver->document();
    Category *tickets = m_driver->category(u"C2"_s);
    Category *memo = m_driver->category(u"C4"_s);
    QVERIFY(m_driver->click(tickets));
    QCOMPARE(document.EditIndex, tickets->index());
    QVERIFY(!document.EditPending);

    if (arrowOnly)
        QTest::keyClick(m_driver->bodyBox(), Qt::Key_Left);
    if (!titleTyped.isEmpty())
        replaceText(m_driver->titleBox(), titleTyped);
    if (!bodyTyped.isEmpty())
        replaceText(m_driver->bodyBox(), bodyTyped);
    QVERIFY(document.EditPending);
    QVERIFY(document.DataChanged);
    // Lazily: the tree still shows the stored title.
    QCOMPARE(m_driver->indexOf(tickets).data().toString(), u"切符"_s);

    QVERIFY(m_driver->click(memo));
    QCOMPARE(tickets->title(), storedTitle);
    QCOMPARE(bodyOf(document, u"C2"_s), storedBody);
    QCOMPARE(m_driver->indexOf(tickets).data().toString(), storedTitle);
    QCOMPARE(memo->title(), u"メモ"_s);
    QCOMPARE(bodyOf(document, u"C4"_s), u"x"_s);
    QCOMPARE(m_driver->titleBox()->text(), u"メモ"_s);
    QCOMPARE(m_driver->bodyBox()->toPlainText(), u"x"_s);
    QCOMPARE(document.EditIndex, memo->index());
    QCOMPARE(document.outline.selected(), memo);
    QVERIFY(!document.EditPending);
    QVERIFY(document.DataChanged);
}

void TestForm1::longTitleSurvivesWriteBack()
{
    // Typing in the body writes the title back too: a title longer than a
    // line edit keeps by default must come back whole.
    const QString longTitle(40000, u'題');
    const QString file = path(u"long.svk"_s);
    const QString text = u"SORVEKA_KEY=C0\r\nSORVEKA_TITLE="_s + longTitle
            + u"\r\nSORVEKA_CHECKED=False\r\nSORVEKA_DATA_CHECK_MARK\r\n本文\r\nSORVEKA_END_CHECK_MARK\r\n\r\n"_s;
    QVERIFY(files::writeBytes(file, cp932::encode(text)));
    QVERIFY(m_driver->start({file}, m_dir.path()));
    Document &document = m_driver->document();
    QCOMPARE(m_driver->titleBox()->text(), longTitle);

    m_driver->bodyBox()->moveCursor(QTextCursor::End);
    QTest::keyClicks(m_driver->bodyBox(), u"!"_s);
    m_driver->pressOnEmptySpace();
    QCOMPARE(document.outline.root()->title(), longTitle);
    QCOMPARE(bodyOf(document, u"C0"_s), u"本文!"_s);
}

void TestForm1::largeBodySurvivesTitleTyping()
{
    // A large body reaches the box in slices; a title typed meanwhile is
    // written back with the whole body, not with what the box held so far.
    QString body;
    for (int line = 0; body.size() < 400000; ++line)
        body += u"%1 行目の本文\r\n"_s.arg(line);
    body += u"最後"_s;
    const QString file = path(u"large.svk"_s);
    const QString text = u"SORVEKA_KEY=C0\r\nSORVEKA_TITLE=根\r\nSORVEKA_CHECKED=False\r\n"
                         u"SORVEKA_DATA_CHECK_MARK\r\n"_s
            + body
            + u"\r\nSORVEKA_END_CHECK_MARK\r\n\r\nSORVEKA_KEY=C1\r\nSORVEKA_PARENT=C0\r\n"
              u"SORVEKA_TITLE=子\r\nSORVEKA_CHECKED=False\r\nSORVEKA_DATA_CHECK_MARK\r\n"
              u"SORVEKA_END_CHECK_MARK\r\n\r\n"_s;
    QVERIFY(files::writeBytes(file, cp932::encode(text)));
    QVERIFY(m_driver->start({file}, m_dir.path()));
    Document &document = m_driver->document();
    Category *root = m_driver->category(u"C0"_s);
    Category *child = m_driver->category(u"C1"_s);

    m_driver->form().Tt_NodeClick(child);
    m_driver->form().Tt_NodeClick(root);
    QVERIFY(m_driver->bodyBox()->toPlainText().size() < body.size() - body.count(u'\r'));
    m_driver->titleBox()->setFocus();
    QTest::keyClick(m_driver->titleBox(), Qt::Key_End);
    QTest::keyClicks(m_driver->titleBox(), u"x"_s);
    m_driver->form().Tt_NodeClick(child);
    QCOMPARE(root->title(), u"根x"_s);
    QCOMPARE(bodyOf(document, u"C0"_s), body);
}

void TestForm1::typingThenPressOnEmptyTreeSpace()
{
    QVERIFY(m_driver->start());
    Document &document = m_driver->document();
    replaceText(m_driver->titleBox(), u"Plan"_s);
    m_driver->pressOnEmptySpace();

    const Category *root = document.outline.root();
    QCOMPARE(root->title(), u"Plan"_s);
    QCOMPARE(m_driver->indexOf(root).data().toString(), u"Plan"_s);
    QCOMPARE(m_driver->titleBox()->text(), u"Plan"_s);
    QCOMPARE(document.EditIndex, 1);
    QVERIFY(!document.EditPending);
    QVERIFY(document.DataChanged);
}

void TestForm1::keyboardSelectionLoadsLikeClick_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("reached");

    QTest::newRow("down to the next sibling") << int(Qt::Key_Down) << u"C2"_s;
    QTest::newRow("up to the root") << int(Qt::Key_Up) << u"C0"_s;
    QTest::newRow("end to the last row") << int(Qt::Key_End) << u"C4"_s;
}

void TestForm1::keyboardSelectionLoadsLikeClick()
{
    QFETCH(int, key);
    QFETCH(QString, reached);

    QVERIFY(startWithTrip());
    Document &document = m_driver->document();
    QVERIFY(m_driver->click(m_driver->category(u"C1"_s)));
    replaceText(m_driver->bodyBox(), u"z"_s);

    m_driver->tree()->setFocus();
    QTest::keyClick(m_driver->tree(), Qt::Key(key));

    const Category *target = m_driver->category(reached);
    QCOMPARE(bodyOf(document, u"C1"_s), u"z"_s);
    QCOMPARE(document.outline.selected(), target);
    QCOMPARE(document.EditIndex, target->index());
    QCOMPARE(m_driver->titleBox()->text(), target->title());
    QCOMPARE(m_driver->bodyBox()->toPlainText(),
             bodyOf(document, reached).replace(u"\r\n"_s, u"\n"_s));
    QVERIFY(!document.EditPending);
}

void TestForm1::clickWithoutTypingChangesNothing()
{
    QVERIFY(startWithTrip());
    Document &document = m_driver->document();
    Category *packing = m_driver->category(u"C1"_s);
    QVERIFY(m_driver->click(packing));

    QCOMPARE(m_driver->titleBox()->text(), u"荷造り"_s);
    QCOMPARE(m_driver->bodyBox()->toPlainText(), u"カメラ\n傘"_s);
    QCOMPARE(document.EditIndex, packing->index());
    QVERIFY(!document.EditPending);
    QVERIFY(!document.DataChanged);
}

void TestForm1::pasteAndInputMethodSetPending_data()
{
    QTest::addColumn<bool>("intoTitle");
    QTest::addColumn<bool>("inputMethod");
    QTest::addColumn<QString>("storedTitle");
    QTest::addColumn<QString>("storedBody");

    QTest::newRow("paste into the title") << true << false << u"メモ貼り付け"_s << u"x"_s;
    QTest::newRow("paste into the body") << false << false << u"メモ"_s << u"x貼り付け"_s;
    QTest::newRow("input method into the title") << true << true << u"メモ日本語"_s << u"x"_s;
    QTest::newRow("input method into the body") << false << true << u"メモ"_s << u"x日本語"_s;
}

void TestForm1::pasteAndInputMethodSetPending()
{
    QFETCH(bool, intoTitle);
    QFETCH(bool, inputMethod);
    QFETCH(QString, storedTitle);
    QFETCH(QString, storedBody);

    QVERIFY(startWithTrip());
    Document &document = m_driver->document();
    QVERIFY(m_driver->click(m_driver->category(u"C4"_s)));
    // Put the cursor at the end without a key press, which alone would count.
    m_driver->titleBox()->end(false);
    m_driver->bodyBox()->moveCursor(QTextCursor::End);
    QVERIFY(!document.EditPending);

    QWidget *box = intoTitle ? static_cast<QWidget *>(m_driver->titleBox()) : m_driver->bodyBox();
    if (inputMethod) {
        QVERIFY(m_driver->commitInputMethodText(box, u"日本語"_s));
    } else {
        QApplication::clipboard()->setText(u"貼り付け"_s);
        if (intoTitle)
            m_driver->titleBox()->paste();
        else
            m_driver->bodyBox()->paste();
    }
    QVERIFY(document.EditPending);
    QVERIFY(document.DataChanged);

    QVERIFY(m_driver->click(m_driver->category(u"C2"_s)));
    QCOMPARE(titleOf(document, u"C4"_s), storedTitle);
    QCOMPARE(bodyOf(document, u"C4"_s), storedBody);
}

void TestForm1::compositionIsKeptByCommands_data()
{
    QTest::addColumn<bool>("intoTitle");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("selected");

    const QString saveQuestion = u"yesno|保存確認"_s;
    for (const bool intoTitle : {true, false}) {
        const char *box = intoTitle ? "title" : "body";
        const auto row = [&](const char *name, const QString &command, const QStringList &asked,
                             const QString &selected) {
            QTest::addRow("%s, %s", box, name) << intoTitle << command << asked << selected;
        };
        row("toolbar Save", u"tSave"_s, {}, u"C1"_s);
        row("toolbar Delete", u"tDelete"_s, {}, u"C2"_s);
        row("toolbar Open, saved, cancelled", u"tOpen"_s, {saveQuestion, u"open|"_s}, u"C1"_s);
        row("toolbar New, declined", u"tNew"_s, {u"yesno|新規"_s}, u"C1"_s);
        row("closing the window, saved", u"close"_s, {saveQuestion}, QString());
        row("click on another category", u"click"_s, {}, u"C2"_s);
    }
}

// Text an input method is still composing is typing like any other, and
// belongs to the category it was typed for, whatever command comes next.
void TestForm1::compositionIsKeptByCommands()
{
    QFETCH(bool, intoTitle);
    QFETCH(QString, command);
    QFETCH(QStringList, asked);
    QFETCH(QString, selected);

    const QString file = path(u"composing.svk"_s);
    QVERIFY(samplefiles::writeTrip(file));
    QVERIFY(m_driver->start({file}, m_dir.path()));
    Document &document = m_driver->document();
    QVERIFY(m_driver->click(m_driver->category(u"C1"_s)));
    m_driver->titleBox()->end(false);
    m_driver->bodyBox()->moveCursor(QTextCursor::End);
    // The tree's search by first letters would find メモ with this text.
    const QString composed = u"メモ"_s;
    QWidget *box = intoTitle ? static_cast<QWidget *>(m_driver->titleBox()) : m_driver->bodyBox();
    FakeInputMethod inputMethod;
    QVERIFY(inputMethod.compose(box, composed));
    // Composing counts from the first key, before anything is committed.
    QVERIFY(document.EditPending);
    QVERIFY(document.DataChanged);

    ScriptedQuestions &scripted = m_driver->questions();
    if (command == u"click") {
        QVERIFY(m_driver->click(m_driver->category(u"C2"_s)));
    } else if (command == u"close") {
        scripted.answerYesNo(true);
        QVERIFY(m_driver->form().close());
    } else {
        if (command == u"tOpen") {
            scripted.answerYesNo(true);
            scripted.answerOpen(QString());
        } else if (command == u"tNew") {
            scripted.answerYesNo(false);
        }
        QVERIFY(m_driver->clickToolbar(command));
    }
    QCOMPARE(scripted.askedTitles(), asked);

    QStringList titles{u"C0 旅行"_s, u"C1 荷造り"_s, u"C2 切符"_s, u"C3 予定表"_s, u"C4 メモ"_s};
    QStringList bodies{u"C0 金曜日に出発。"_s, u"C1 カメラ\r\n傘"_s, u"C2 "_s, u"C3 ①ｱｲｳ"_s,
                       u"C4 x"_s};
    if (command == u"tDelete") {
        // The composition went with its category; the neighbour is untouched.
        titles.removeAt(3);
        titles.removeAt(1);
        bodies.removeAt(3);
        bodies.removeAt(1);
    } else {
        (intoTitle ? titles[1] : bodies[1]) += composed;
    }
    const auto compareFile = [&] {
        const ReadResult read = readOutlineFile(file);
        QVERIFY(read.ok());
        QStringList savedTitles, savedBodies;
        for (int i = 1; i <= read.outline.count(); ++i) {
            const Category *category = read.outline.item(i);
            savedTitles << category->key() + u' ' + category->title();
            savedBodies << category->key() + u' '
                            + read.outline.TextData[size_t(category->keyNumber())];
        }
        QCOMPARE(savedTitles, titles);
        QCOMPARE(savedBodies, bodies);
    };
    if (command == u"tSave" || command == u"tOpen" || command == u"close")
        compareFile();
    if (selected.isEmpty())
        return;

    // Later the focus leaves for the tree: an input method still holding the
    // composition would commit it into whatever the boxes show by then, and
    // the text it repeats must not start a search in the tree.
    m_driver->pressOnEmptySpace();
    inputMethod.deliverRepeat();
    Category *shown = m_driver->category(selected);
    QCOMPARE(document.outline.selected(), shown);
    QCOMPARE(document.EditIndex, shown->index());
    QCOMPARE(m_driver->tree()->currentIndex(), m_driver->indexOf(shown));
    QCOMPARE(m_driver->titleBox()->text().count(composed)
                     + m_driver->bodyBox()->toPlainText().count(composed),
             selected == u"C1" ? 1 : 0);
    scripted.clearAsked();
    m_driver->action(u"mSave"_s)->trigger();
    QCOMPARE(scripted.askedTitles(), QStringList());
    compareFile();
}

void TestForm1::lineBreaksEnterTitleAsBlanks_data()
{
    QTest::addColumn<bool>("dropped");
    QTest::addColumn<QString>("entered");
    QTest::addColumn<QString>("title");

    QTest::newRow("pasted CR LF and LF") << false << u"一\r\n二\n三"_s << u"メモ一 二 三"_s;
    QTest::newRow("pasted lone CR, ending in a line break")
            << false << u"一\r二\r\n"_s << u"メモ一 二 "_s;
    QTest::newRow("dropped") << true << u"一\n二"_s << u"メモ一 二"_s;
}

void TestForm1::lineBreaksEnterTitleAsBlanks()
{
    QFETCH(bool, dropped);
    QFETCH(QString, entered);
    QFETCH(QString, title);

    QVERIFY(startWithTrip());
    Document &document = m_driver->document();
    QVERIFY(m_driver->click(m_driver->category(u"C4"_s)));
    QLineEdit *box = m_driver->titleBox();
    box->end(false);
    if (dropped) {
        QMimeData data;
        data.setText(entered);
        // The drop reaches the widget that accepted the drag's entry.
        const QPoint end(box->width() - 2, box->height() / 2);
        QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &drop);
        QVERIFY(drop.isAccepted());
    } else {
        QApplication::clipboard()->setText(entered);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    }
    // The box never holds the line break, and the cursor stays after what came in.
    QCOMPARE(box->text(), title);
    if (!dropped)
        QCOMPARE(box->cursorPosition(), title.size());

    QVERIFY(m_driver->click(m_driver->category(u"C2"_s)));
    QCOMPARE(titleOf(document, u"C4"_s), title);
    QCOMPARE(m_driver->indexOf(m_driver->category(u"C4"_s)).data().toString(), title);
}

void TestForm1::titleBoxShowsStartOfTitle()
{
    // A title longer than the box shows its beginning, whichever way the box
    // was filled.
    const QString longTitle = u"始"_s + QString(200, u'題') + u"終"_s;
    const QString file = path(u"long title.svk"_s);
    const QString text = u"SORVEKA_KEY=C0\r\nSORVEKA_TITLE="_s + longTitle
            + u"\r\nSORVEKA_CHECKED=False\r\nSORVEKA_DATA_CHECK_MARK\r\nSORVEKA_END_CHECK_"
              u"MARK\r\n\r\n"
              u"SORVEKA_KEY=C1\r\nSORVEKA_PARENT=C0\r\nSORVEKA_TITLE=子\r\nSORVEKA_CHECKED="
              u"False\r\n"
              u"SORVEKA_DATA_CHECK_MARK\r\nSORVEKA_END_CHECK_MARK\r\n\r\n"_s;
    QVERIFY(files::writeBytes(file, cp932::encode(text)));
    QVERIFY(m_driver->start({file}, m_dir.path()));
    QLineEdit *box = m_driver->titleBox();
    QCOMPARE(box->text(), longTitle);
    QCOMPARE(box->cursorPosition(), 0);

    QVERIFY(m_driver->click(m_driver->category(u"C1"_s)));
    QVERIFY(m_driver->click(m_driver->category(u"C0"_s)));
    QCOMPARE(box->text(), longTitle);
    QCOMPARE(box->cursorPosition(), 0);
}

void TestForm1::titleTypingLeavesBodyAsStored()
{
    // The body box gives back every line end as CR LF; a body it did not
    // edit keeps its lone LF.
    const QString body = u"一\n二"_s;
    const QString file = path(u"lone line ends.svk"_s);
    const QString text = u"SORVEKA_KEY=C0\r\nSORVEKA_TITLE=根\r\nSORVEKA_CHECKED=False\r\n"
                         u"SORVEKA_DATA_CHECK_MARK\r\n"_s
            + body + u"\r\nSORVEKA_END_CHECK_MARK\r\n\r\n"_s;
    QVERIFY(files::writeBytes(file, cp932::encode(text)));
    QVERIFY(m_driver->start({file}, m_dir.path()));
    Document &document = m_driver->document();
    QCOMPARE(bodyOf(document, u"C0"_s), body);

    replaceText(m_driver->titleBox(), u"New title"_s);
    QTest::keyClick(m_driver->bodyBox(), Qt::Key_Down);
    m_driver->pressOnEmptySpace();
    QCOMPARE(titleOf(document, u"C0"_s), u"New title"_s);
    QCOMPARE(bodyOf(document, u"C0"_s), body);
    QVERIFY(document.DataChanged);
    QVERIFY(!document.EditPending);
}

void TestForm1::rightClickActsOnSelection_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<bool>("onEmptySpace");
    // The categories in collection order afterwards, with their parents and marks.
    QTest::addColumn<QStringList>("outline");
    QTest::addColumn<QString>("selected");

    const QString root = u"C0 - 旅行 0"_s, packing = u"C1 C0 荷造り 0"_s,
                  plan = u"C3 C1 予定表 0"_s;
    const QString memo = u"C4 C0 メモ 0"_s;
    const QStringList unchanged{root, packing, u"C2 C0 X 1"_s, plan, memo};

    QTest::newRow("create below") << u"CreateNextLevel"_s << false
                                  << QStringList{root, packing, u"C2 C0 X 0"_s,
                                                 plan, memo,    u"C5 C2 新しい項目 0"_s}
                                  << u"C2"_s;
    QTest::newRow("create in front")
            << u"CreateThisLevel"_s << false << (QStringList(unchanged) << u"C5 C0 新しい項目 0"_s)
            << u"C2"_s;
    QTest::newRow("check reverse")
            << u"CheckReverse"_s << false << QStringList{root, packing, u"C2 C0 X 0"_s, plan, memo}
            << u"C2"_s;
    QTest::newRow("delete") << u"DeleteCategoly"_s << false
                            << QStringList{root, packing, plan, memo} << u"C4"_s;
    QTest::newRow("copy does nothing") << u"CopyCategoly"_s << false << unchanged << u"C2"_s;
    QTest::newRow("paste does nothing") << u"PasteCategoly"_s << false << unchanged << u"C2"_s;
    QTest::newRow("cut does nothing") << u"CutCategoly"_s << false << unchanged << u"C2"_s;
    QTest::newRow("dismissed") << QString() << false << unchanged << u"C2"_s;
    QTest::newRow("on empty space, check reverse")
            << u"CheckReverse"_s << true << QStringList{root, packing, u"C2 C0 X 0"_s, plan, memo}
            << u"C2"_s;
}

void TestForm1::rightClickActsOnSelection()
{
    QFETCH(QString, choice);
    QFETCH(bool, onEmptySpace);
    QFETCH(QStringList, outline);
    QFETCH(QString, selected);

    QVERIFY(startWithTrip());
    Document &document = m_driver->document();
    QVERIFY(m_driver->click(m_driver->category(u"C2"_s)));
    replaceText(m_driver->titleBox(), u"X"_s);

    const QPoint point = onEmptySpace ? m_driver->emptySpace()
                                      : m_driver->rowCentre(m_driver->category(u"C4"_s));
    QVERIFY(!point.isNull());
    QMenu *popup = m_driver->rightClickAt(point, choice);
    QCOMPARE(popup, m_driver->form().treeRightClick());

    QStringList found;
    for (int i = 1; i <= document.outline.count(); ++i) {
        const Category *c = document.outline.item(i);
        found << u"%1 %2 %3 %4"_s
                         .arg(c->key(), c->parent() ? c->parent()->key() : u"-"_s, c->title())
                         .arg(int(c->checked()));
    }
    QCOMPARE(found, outline);
    QVERIFY(!document.EditPending);
    QCOMPARE(document.outline.selected(), m_driver->category(selected));
    QCOMPARE(m_driver->tree()->currentIndex(), m_driver->indexOf(m_driver->category(selected)));
    QCOMPARE(m_driver->titleBox()->text(), titleOf(document, selected));
}

void TestForm1::selectionStaysHighlighted_data()
{
    QTest::addColumn<bool>("onEmptySpace");
    QTest::addColumn<int>("modifiers");

    QTest::newRow("click on empty space") << true << int(Qt::NoModifier);
    QTest::newRow("ctrl+click on empty space") << true << int(Qt::ControlModifier);
    QTest::newRow("ctrl+click on the selected row") << false << int(Qt::ControlModifier);
}

void TestForm1::selectionStaysHighlighted()
{
    QFETCH(bool, onEmptySpace);
    QFETCH(int, modifiers);

    QVERIFY(startWithTrip());
    Document &document = m_driver->document();
    Category *memo = m_driver->category(u"C4"_s);
    QVERIFY(m_driver->click(memo));
    const QPoint point = onEmptySpace ? m_driver->emptySpace() : m_driver->rowCentre(memo);
    QTest::mouseClick(m_driver->tree()->viewport(), Qt::LeftButton,
                      Qt::KeyboardModifiers(modifiers), point);

    // The commands act on the selected category: the tree shows which.
    QCOMPARE(document.outline.selected(), memo);
    QCOMPARE(m_driver->tree()->selectionModel()->selectedRows(),
             QModelIndexList{m_driver->indexOf(memo)});
    QCOMPARE(m_driver->tree()->currentIndex(), m_driver->indexOf(memo));
}

void TestForm1::collapsingAncestorSelectsIt_data()
{
    QTest::addColumn<QString>("collapsed");

    QTest::newRow("parent") << u"C1"_s;
    QTest::newRow("root") << u"C0"_s;
}

void TestForm1::collapsingAncestorSelectsIt()
{
    QFETCH(QString, collapsed);

    QVERIFY(startWithTrip());
    Document &document = m_driver->document();
    Category *plan = m_driver->category(u"C3"_s);
    Category *ancestor = m_driver->category(collapsed);
    QVERIFY(m_driver->clickBranch(m_driver->category(u"C1"_s)));
    QVERIFY(m_driver->click(plan));
    replaceText(m_driver->titleBox(), u"Plan"_s);

    QVERIFY(m_driver->clickBranch(ancestor));
    QVERIFY(!m_driver->tree()->isExpanded(m_driver->indexOf(ancestor)));
    // A change of selection like a click: the typing reached its own category
    // first, then the boxes show the collapsed one.
    QCOMPARE(plan->title(), u"Plan"_s);
    QCOMPARE(document.outline.selected(), ancestor);
    QCOMPARE(m_driver->tree()->currentIndex(), m_driver->indexOf(ancestor));
    QCOMPARE(m_driver->tree()->selectionModel()->selectedRows(),
             QModelIndexList{m_driver->indexOf(ancestor)});
    QCOMPARE(document.EditIndex, ancestor->index());
    QCOMPARE(m_driver->titleBox()->text(), ancestor->title());
    QVERIFY(!document.EditPending);
}

void TestForm1::categoryWithoutChildrenShowsPage_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("deleteOnlyChild");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("selectedAfter");

    QTest::newRow("+ on a leaf") << u"C4"_s << false << QList<int>{Qt::Key_Plus} << u"C4"_s;
    QTest::newRow("+ then - on a leaf")
            << u"C4"_s << false << QList<int>{Qt::Key_Plus, Qt::Key_Minus} << u"C4"_s;
    QTest::newRow("* on a leaf") << u"C4"_s << false << QList<int>{Qt::Key_Asterisk} << u"C4"_s;
    QTest::newRow("* on the root") << u"C0"_s << false << QList<int>{Qt::Key_Asterisk} << u"C0"_s;
    QTest::newRow("left after deleting the only child")
            << u"C3"_s << true << QList<int>{Qt::Key_Left} << u"C0"_s;
}

void TestForm1::categoryWithoutChildrenShowsPage()
{
    QFETCH(QString, selected);
    QFETCH(bool, deleteOnlyChild);
    QFETCH(QList<int>, keys);
    QFETCH(QString, selectedAfter);

    QVERIFY(startWithTrip());
    Document &document = m_driver->document();
    QTreeView *tree = m_driver->tree();
    tree->expand(m_driver->indexOf(m_driver->category(u"C1"_s)));
    QVERIFY(m_driver->click(m_driver->category(selected)));
    if (deleteOnlyChild)
        m_driver->action(u"mDelete"_s)->trigger();
    tree->setFocus();
    for (int key : keys)
        QTest::keyClick(tree, Qt::Key(key));

    QCOMPARE(document.outline.selected(), m_driver->category(selectedAfter));
    for (int i = 1; i <= document.outline.count(); ++i) {
        const Category *c = document.outline.item(i);
        if (c->childCount() != 0)
            continue;
        QVERIFY2(c->image() == (c->checked() ? 6 : 3), qPrintable(c->key()));
        QVERIFY2(!c->expanded(), qPrintable(c->key()));
        QVERIFY2(!tree->isExpanded(m_driver->indexOf(c)), qPrintable(c->key()));
    }
}

void TestForm1::newCategoryScrolledIntoView_data()
{
    QTest::addColumn<int>("level");

    QTest::newRow("9 levels down, cut off at the edge") << 9;
    QTest::newRow("12 levels down, past the edge") << 12;
}

void TestForm1::newCategoryScrolledIntoView()
{
    QFETCH(int, level);

    QVERIFY(m_driver->start());
    Document &document = m_driver->document();
    QTreeView *tree = m_driver->tree();
    Category *created = nullptr;
    for (int i = 1; i <= level; ++i) {
        if (created)
            m_driver->form().Tt_NodeClick(created);
        m_driver->action(u"CreateNextLevel"_s)->trigger();
        created = document.outline.item(document.outline.count());
    }
    QCoreApplication::processEvents();

    // The new category's picture and title are in sight.
    const QModelIndex index = m_driver->indexOf(created);
    const QRect rect = tree->visualRect(index);
    const int right = rect.left() + tree->sizeHintForIndex(index).width();
    QVERIFY2(rect.left() >= 0, qPrintable(QString::number(rect.left())));
    QVERIFY2(right <= tree->viewport()->width(),
             qPrintable(u"%1 > %2"_s.arg(right).arg(tree->viewport()->width())));
    QVERIFY(rect.top() >= 0);
    QVERIFY(rect.bottom() < tree->viewport()->height());
}

void TestForm1::doubleClick_data()
{
    QTest::addColumn<QString>("key");
    // Where the double click lands: on the row of `key`, or, with `key`
    // selected first, on empty space or on the expand sign of C1.
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("checkedAfter");
    QTest::addColumn<bool>("changed");

    QTest::newRow("unchecked leaf is ticked") << u"C4"_s << u"row"_s << true << true;
    QTest::newRow("checked leaf is unticked") << u"C2"_s << u"row"_s << false << true;
    QTest::newRow("category with children keeps its mark") << u"C1"_s << u"row"_s << false << false;
    QTest::newRow("root keeps its mark") << u"C0"_s << u"row"_s << false << false;
    QTest::newRow("on empty space, the selected leaf is ticked")
            << u"C4"_s << u"empty"_s << true << true;
    QTest::newRow("on an expand sign, the selected leaf is ticked")
            << u"C4"_s << u"sign"_s << true << true;
}

void TestForm1::doubleClick()
{
    QFETCH(QString, key);
    QFETCH(QString, where);
    QFETCH(bool, checkedAfter);
    QFETCH(bool, changed);

    QVERIFY(startWithTrip());
    Document &document = m_driver->document();
    Category *category = m_driver->category(key);
    if (where == u"row") {
        QVERIFY(m_driver->doubleClick(category));
    } else {
        QVERIFY(m_driver->click(category));
        const QPoint point = where == u"empty" ? m_driver->emptySpace()
                                               : m_driver->branchSign(m_driver->category(u"C1"_s));
        QVERIFY(!point.isNull());
        m_driver->doubleClickAt(point);
    }

    QCOMPARE(category->checked(), checkedAfter);
    QCOMPARE(document.DataChanged, changed);
    QCOMPARE(document.outline.selected(), category);
    if (category->childCount() == 0) {
        QCOMPARE(category->image(), checkedAfter ? 6 : 3);
    } else {
        // What the tree did with the double click shows in the icon.
        QCOMPARE(category->expanded(), m_driver->tree()->isExpanded(m_driver->indexOf(category)));
        QCOMPARE(category->image(), category->expanded() ? 2 : 1);
    }
}

void TestForm1::expandCollapseIcons_data()
{
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("withKeys");
    QTest::addColumn<int>("expandedImage");
    QTest::addColumn<int>("collapsedImage");

    QTest::newRow("unchecked, sign clicked") << false << false << 2 << 1;
    QTest::newRow("checked, sign clicked") << true << false << 5 << 4;
    QTest::newRow("unchecked, arrow keys") << false << true << 2 << 1;
    QTest::newRow("checked, arrow keys") << true << true << 5 << 4;
}

void TestForm1::expandCollapseIcons()
{
    QFETCH(bool, checked);
    QFETCH(bool, withKeys);
    QFETCH(int, expandedImage);
    QFETCH(int, collapsedImage);

    QVERIFY(startWithTrip());
    Category *packing = m_driver->category(u"C1"_s);
    QTreeView *tree = m_driver->tree();
    if (checked) {
        // Ticking the only child ticks its parent.
        tree->expand(m_driver->indexOf(packing));
        QVERIFY(m_driver->click(m_driver->category(u"C3"_s)));
        m_driver->action(u"mCheck"_s)->trigger();
        tree->collapse(m_driver->indexOf(packing));
        QVERIFY(packing->checked());
    }
    QVERIFY(m_driver->click(packing));

    const auto toggle = [&](Qt::Key key) {
        if (withKeys)
            QTest::keyClick(tree, key);
        else
            QVERIFY(m_driver->clickBranch(packing));
    };
    toggle(Qt::Key_Right);
    QVERIFY(tree->isExpanded(m_driver->indexOf(packing)));
    QVERIFY(packing->expanded());
    QCOMPARE(packing->image(), expandedImage);

    toggle(Qt::Key_Left);
    QVERIFY(!tree->isExpanded(m_driver->indexOf(packing)));
    QVERIFY(!packing->expanded());
    QCOMPARE(packing->image(), collapsedImage);
    QCOMPARE(packing->checked(), checked);
}

void TestForm1::newOutline_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestForm1::newOutline()
{
    QFETCH(bool, yes);

    QVERIFY(startWithTrip());
    Document &document = m_driver->document();
    QVERIFY(m_driver->click(m_driver->category(u"C2"_s)));
    replaceText(m_driver->titleBox(), u"typed"_s);
    const QString before = m_driver->state();

    m_driver->questions().answerYesNo(yes);
    QVERIFY(m_driver->clickToolbar(u"tNew"_s));

    const auto asked = m_driver->questions().asked();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0].title, u"新規"_s);
    QCOMPARE(asked[0].text, u"編集中のデータを破棄します\r\nよろしいですか？"_s);
    QVERIFY(asked[0].yesIsDefault);

    if (!yes) {
        QCOMPARE(m_driver->state(), before);
        return;
    }
    QCOMPARE(document.outline.count(), 1);
    QCOMPARE(document.outline.root()->title(), InitialTitle);
    QCOMPARE(document.outline.selected(), document.outline.root());
    QCOMPARE(document.outline.KeyCounter, 1);
    QCOMPARE(document.EditIndex, 1);
    QVERIFY(!document.EditPending);
    QVERIFY(document.DataChanged);
    QCOMPARE(document.CurrentFile, m_trip);
    QCOMPARE(m_driver->form().windowTitle(), u"Sorveka [旅行メモ.svk]"_s);
    QCOMPARE(m_driver->titleBox()->text(), InitialTitle);
    QCOMPARE(m_driver->bodyBox()->toPlainText(), QString());
}

void TestForm1::layout_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<int>("treeHeight");
    QTest::addColumn<int>("boxLeft");
    QTest::addColumn<int>("boxWidth");
    QTest::addColumn<int>("bodyHeight");

    // At 96 dpi: the tree is 3615 twips (241 px) wide, so the boxes start at
    // 241 + 16; 480 twips (32 px) of the height lie outside the tree, 960
    // (64 px) outside the body box, 150 (10 px) right of the boxes.
    QTest::newRow("design size") << QSize(627, 329) << 297 << 257 << 360 << 265;
    QTest::newRow("larger") << QSize(900, 500) << 468 << 257 << 633 << 436;
    QTest::newRow("narrower than the margins") << QSize(260, 300) << 268 << 257 << 0 << 236;
    QTest::newRow("lower than the body's margins") << QSize(500, 50) << 18 << 257 << 233 << 0;
    QTest::newRow("lower than the tree's margins") << QSize(500, 20) << 0 << 257 << 233 << 0;
    QTest::newRow("nothing left") << QSize(1, 1) << 0 << 257 << 0 << 0;
}

void TestForm1::layout()
{
    QFETCH(QSize, client);
    QFETCH(int, treeHeight);
    QFETCH(int, boxLeft);
    QFETCH(int, boxWidth);
    QFETCH(int, bodyHeight);

    QVERIFY(m_driver->start());
    Form1 &form = m_driver->form();
    if (form.screen()->logicalDotsPerInch() != 96)
        QSKIP("the expected sizes are for a 96 dpi screen");

    form.resize(client.width(), client.height() + form.menuBar()->height());
    QWidget *area = form.centralWidget();
    QCOMPARE(area->size(), client);

    const QTreeView *tree = m_driver->tree();
    const QLineEdit *title = m_driver->titleBox();
    const QPlainTextEdit *body = m_driver->bodyBox();
    QCOMPARE(tree->geometry(), QRect(8, 24, 241, treeHeight));
    QCOMPARE(title->geometry(), QRect(boxLeft, 24, boxWidth, 25));
    QCOMPARE(body->geometry(), QRect(boxLeft, 56, boxWidth, bodyHeight));
    QCOMPARE(m_driver->toolbar()->geometry(), QRect(0, 0, client.width(), 21));
    if (client == QSize(627, 329)) {
        // Nothing overlaps at the design size.
        QVERIFY(m_driver->toolbar()->geometry().bottom() < tree->y());
        QVERIFY(title->geometry().bottom() < body->y());
        QVERIFY(tree->geometry().right() < title->x());
    }
}

void TestForm1::treeColumnFitsRowsWhenLoaded()
{
    // Rows wider than the tree: the column covers them as soon as the
    // outline is loaded, before the window is first painted.
    const QString file = path(u"wide.svk"_s);
    const QString text = u"SORVEKA_KEY=C0\r\nSORVEKA_TITLE=根\r\nSORVEKA_CHECKED=False\r\n"
                         u"SORVEKA_DATA_CHECK_MARK\r\nSORVEKA_END_CHECK_MARK\r\n\r\n"
                         u"SORVEKA_KEY=C1\r\nSORVEKA_PARENT=C0\r\nSORVEKA_TITLE="_s
            + QString(60, u'幅')
            + u"\r\nSORVEKA_CHECKED=False\r\nSORVEKA_DATA_CHECK_MARK\r\n"
              u"SORVEKA_END_CHECK_MARK\r\n\r\n"_s;
    QVERIFY(files::writeBytes(file, cp932::encode(text)));
    ScriptedQuestions questions;
    Form1 form(questions);
    form.Form_Load({file}, m_dir.path());
    const auto *tree = form.findChild<QTreeView *>(u"Tt"_s);
    QVERIFY(tree);
    const int contents = static_cast<const QAbstractItemView *>(tree)->sizeHintForColumn(0);
    QVERIFY(contents > tree->viewport()->width());
    QCOMPARE(tree->header()->sectionSize(0), contents);
}

void TestForm1::windowIconFollowsFirstFrame()
{
    // The window gets the program's icon once it has been drawn, and keeps
    // it when drawn again.
    ScriptedQuestions questions;
    Form1 form(questions);
    form.Form_Load({}, m_dir.path());
    QVERIFY(form.windowIcon().isNull());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTRY_COMPARE(form.windowIcon().cacheKey(), pictures::programIcon().cacheKey());
    form.repaint();
    QCoreApplication::processEvents();
    QCOMPARE(form.windowIcon().cacheKey(), pictures::programIcon().cacheKey());
}

void TestForm1::treeColumnFollowsViewWidth()
{
    // Narrow rows: the column spans the view, so a row's highlight does,
    // also once the view's scroll bar comes or goes.
    const QString file = path(u"trip.svk"_s);
    QVERIFY(samplefiles::writeTrip(file));
    QVERIFY(m_driver->start({file}, m_dir.path()));
    Form1 &form = m_driver->form();
    const QTreeView *tree = m_driver->tree();
    QCOMPARE(tree->header()->sectionSize(0), tree->viewport()->width());

    const int fullWidth = tree->viewport()->width();
    // The tree ends 32 px above the bottom of the client area; two rows
    // high, it cannot show the four rows the trip opens with.
    form.resize(form.width(), form.menuBar()->height() + 32 + 2 * tree->sizeHintForRow(0));
    QTRY_VERIFY(tree->verticalScrollBar()->isVisible());
    QTRY_COMPARE(tree->header()->sectionSize(0), tree->viewport()->width());
    QVERIFY(tree->viewport()->width() < fullWidth);
    QTRY_VERIFY(!tree->horizontalScrollBar()->isVisible());

    form.resize(form.width(), 600);
    QTRY_VERIFY(!tree->verticalScrollBar()->isVisible());
    QTRY_COMPARE(tree->header()->sectionSize(0), fullWidth);
}

void TestForm1::tabOrder()
{
    QVERIFY(m_driver->start());
    m_driver->tree()->setFocus();
    QCOMPARE(QApplication::focusWidget(), m_driver->tree());
    QTest::keyClick(m_driver->tree(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_driver->bodyBox());
    m_driver->titleBox()->setFocus();
    QTest::keyClick(m_driver->titleBox(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), m_driver->bodyBox());
    QTest::keyClick(m_driver->bodyBox(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), m_driver->tree());
}

void TestForm1::toolbarPicturesFollowButtonState()
{
    QVERIFY(m_driver->start());
    const QList<QAction *> actions = m_driver->form().findChild<QToolBar *>()->actions();
    QVERIFY(!actions.isEmpty());
    const QIcon icon = actions.first()->icon();
    const QImage normal = icon.pixmap(QSize(16, 16), 1.0).toImage();
    const QImage disabled = icon.pixmap(QSize(16, 16), 1.0, QIcon::Disabled).toImage();
    // Drawn at the size asked for, and greyed by the style when disabled.
    QCOMPARE(normal.size(), QSize(16, 16));
    QCOMPARE(disabled.size(), QSize(16, 16));
    QVERIFY(disabled != normal);
}

void TestForm1::toolbarButtonShowsItsPicture_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("picture");
    for (const ToolbarButton &button : ToolbarButtons) {
        if (!button.key.isEmpty())
            QTest::newRow(button.key.toLatin1().constData())
                    << button.key.toString() << button.picture;
    }
}

void TestForm1::toolbarButtonShowsItsPicture()
{
    QFETCH(QString, key);
    QFETCH(int, picture);

    QVERIFY(m_driver->start());
    if (m_driver->form().screen()->logicalDotsPerInch() != 96)
        QSKIP("the button size is for a 96 dpi screen");
    QToolBar *bar = m_driver->toolbar();
    QWidget *button = bar->widgetForAction(m_driver->action(key));
    QVERIFY(button);
    QCOMPARE(button->size(), QSize(23, 21));

    // What the screen shows of the button holds the picture unscaled.
    const QImage shot =
            bar->grab(button->geometry()).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage expected = pictures::toolbarImage(picture)
                                    .pixmap(QSize(16, 16), 1.0)
                                    .toImage()
                                    .convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(expected.size(), QSize(16, 16));
    QVERIFY(showsPicture(shot, expected));
}

void TestForm1::aboutOpensOnce()
{
    QVERIFY(startWithTrip());
    QVERIFY(!m_driver->form().about());
    m_driver->action(u"mAbout"_s)->trigger();
    About *first = m_driver->form().about();
    QVERIFY(first);
    QVERIFY(first->isVisible());
    const QLabel *fileName = first->findChild<QLabel *>(u"FnameP"_s);
    QVERIFY(fileName);
    QVERIFY(fileName->text().contains(u"旅行メモ.svk"_s));

    m_driver->form().mAbout_Click();
    QCOMPARE(m_driver->form().about(), first);
    int boxes = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        boxes += qobject_cast<About *>(widget) && widget->isVisible() ? 1 : 0;
    QCOMPARE(boxes, 1);
    // The main window stays usable while the box is open.
    QVERIFY(m_driver->click(m_driver->category(u"C4"_s)));
    QCOMPARE(m_driver->titleBox()->text(), u"メモ"_s);
}

void TestForm1::aboutReadsTheFileAtEachLoad()
{
    QVERIFY(startWithTrip());
    m_driver->action(u"mAbout"_s)->trigger();
    QPointer<About> box = m_driver->form().about();
    QVERIFY(box);
    // The title bar's close box keeps the instance; the next choice loads it anew.
    QVERIFY(box->close());
    m_driver->questions().answerOpen(path(u"trip.svk"_s));
    m_driver->action(u"mOpen"_s)->trigger();
    QCOMPARE(m_driver->form().windowTitle(), u"Sorveka [trip.svk]"_s);

    m_driver->action(u"mAbout"_s)->trigger();
    QCOMPARE(m_driver->form().about(), box.data());
    QVERIFY(box->isVisible());
    QCOMPARE(box->findChild<QLabel *>(u"FnameP"_s)->text(), u"trip.svk"_s);
}

void TestForm1::treeTooltipShowsTitleAsItIs()
{
    // A title is text, whatever it looks like.
    const QString title = u"<u>plan"_s;
    QVERIFY(m_driver->start());
    Category *root = m_driver->category(u"C0"_s);
    replaceText(m_driver->titleBox(), title);
    QVERIFY(m_driver->click(root));
    QCOMPARE(root->title(), title);

    QWidget *viewport = m_driver->tree()->viewport();
    const QPoint point = m_driver->rowCentre(root);
    QHelpEvent hover(QEvent::ToolTip, point, viewport->mapToGlobal(point));
    QCoreApplication::sendEvent(viewport, &hover);
    QLabel *tip = shownTooltip();
    QVERIFY(tip);
    // What it shows, as a screen reader reads it.
    QCOMPARE(QAccessible::queryAccessibleInterface(tip)->text(QAccessible::Name), title);
    QToolTip::hideText();
}

void TestForm1::closing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("arrowOnly");
    QTest::addColumn<bool>("asked");

    QTest::newRow("nothing changed") << QString() << false << false;
    QTest::newRow("typed") << u"abc"_s << false << true;
    QTest::newRow("arrow key only") << QString() << true << true;
}

void TestForm1::closing()
{
    QFETCH(QString, typed);
    QFETCH(bool, arrowOnly);
    QFETCH(bool, asked);

    QVERIFY(startWithTrip());
    const QByteArray before = files::bytesOf(m_trip);
    if (!typed.isEmpty())
        replaceText(m_driver->bodyBox(), typed);
    if (arrowOnly)
        QTest::keyClick(m_driver->titleBox(), Qt::Key_Right);
    if (asked)
        m_driver->questions().answerYesNo(false);

    QVERIFY(m_driver->form().close());
    QVERIFY(!m_driver->form().isVisible());
    const auto questions = m_driver->questions().asked();
    QCOMPARE(questions.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(questions[0].title, u"保存確認"_s);
        QCOMPARE(questions[0].text, u"データを保存しますか？"_s);
    }
    QCOMPARE(files::bytesOf(m_trip), before);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
