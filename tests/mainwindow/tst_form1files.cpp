#include "formdriver.h"
#include "tests/support/samplefiles.h"
#include "tests/support/testfiles.h"

#include "document/document.h"
#include "file/outlinereader.h"
#include "mainwindow/dialogquestions.h"
#include "mainwindow/filecommands.h"
#include "mainwindow/form1.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <functional>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString SaveQuestion = u"yesno|保存確認"_s;
const QString OpenDialog = u"open|"_s;
const QString SaveDialog = u"save|"_s;
const QString ReadError = u"error|読み込みエラー"_s;
const QString SaveError = u"error|保存エラー"_s;
const QString OverwriteQuestion = u"yesno|上書き確認"_s;

void replaceText(QWidget *box, const QString &text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
}

// Shows the real Open or Save dialog, starting at `start`, and hands it to
// `use` once it is up; `use` closes it. Returns the name the dialog gave.
QString runRealDialog(bool open, const QString &start,
                      const std::function<void(QFileDialog &)> &use)
{
    QTimer::singleShot(0, [&use] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        use(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    DialogQuestions questions;
    return open ? questions.openFileName(FileCommands::Filter, start)
                : questions.saveFileName(FileCommands::Filter, start);
}

QLineEdit *fileNameField(QFileDialog &dialog)
{
    return dialog.findChild<QLineEdit *>(u"fileNameEdit"_s);
}

} // namespace

// Open, Save, Save As and the save question, worked through the window.
// Each test starts either on trip.svk (named) or on a new outline (unnamed).
class TestForm1Files : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typingReachesTheFile_data();
    void typingReachesTheFile();
    void cancelledDialogs_data();
    void cancelledDialogs();
    void openLoadsAndSelectsTheRoot();
    void firstDialogStartsAtTheFileOrHome_data();
    void firstDialogStartsAtTheFileOrHome();
    void failedOpenKeepsEverything_data();
    void failedOpenKeepsEverything();
    void failedSaveLosesNothing_data();
    void failedSaveLosesNothing();
    void failedSaveAtTheQuestionAsksAgain_data();
    void failedSaveAtTheQuestionAsksAgain();
    void unstorableTextIsConfirmed_data();
    void unstorableTextIsConfirmed();
    void messageBoxesShowTextAsItIs_data();
    void messageBoxesShowTextAsItIs();
    void longTitleIsCutInTheQuestion();
    void othersChangesAreNotOverwrittenUnasked_data();
    void othersChangesAreNotOverwrittenUnasked();
    void failureReasonsAreJapanese_data();
    void failureReasonsAreJapanese();
    void firstSaveDialogHasAnEmptyName();
    void allFilesChoiceListsEveryFile();
    void typedFullPathOpens();
    void fileListNeverReadsFiles();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    bool start(bool named);
    // Types into the category the boxes show.
    void typeTitleAndBody();
    // Runs a command by name: a toolbar key, a menu item, or "close".
    void run(const QString &command);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_trip;
    std::unique_ptr<FormDriver> m_driver;
};

void TestForm1Files::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_trip = path(u"trip.svk"_s);
    QVERIFY(samplefiles::writeTrip(m_trip));
    QVERIFY(samplefiles::writeFailingPartWay(path(u"broken.svk"_s)));
    m_driver = std::make_unique<FormDriver>();
}

void TestForm1Files::cleanup()
{
    const QStringList problems = m_driver->questions().problems();
    m_driver.reset();
    m_dir.reset();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

bool TestForm1Files::start(bool named)
{
    if (!m_driver->start(named ? QStringList{m_trip} : QStringList(), m_dir->path()))
        return false;
    return !named || m_driver->click(m_driver->category(u"C2"_s));
}

void TestForm1Files::typeTitleAndBody()
{
    replaceText(m_driver->titleBox(), u"typed title"_s);
    replaceText(m_driver->bodyBox(), u"typed body"_s);
}

void TestForm1Files::run(const QString &command)
{
    if (command == u"close")
        m_driver->form().close();
    else if (command.startsWith(u't'))
        QVERIFY(m_driver->clickToolbar(command));
    else
        m_driver->action(command)->trigger();
}

void TestForm1Files::typingReachesTheFile_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QString>("target");

    const QString other = u"other.svk"_s;
    QTest::newRow("Save, named") << true << u"tSave"_s << QStringList() << u"trip.svk"_s;
    QTest::newRow("Save, unnamed") << false << u"mSave"_s << QStringList{SaveDialog} << other;
    QTest::newRow("Save As, named") << true << u"mCreate"_s << QStringList{SaveDialog} << other;
    QTest::newRow("Save As, unnamed") << false << u"mCreate"_s << QStringList{SaveDialog} << other;
    QTest::newRow("Yes before Open, named")
            << true << u"mOpen"_s << QStringList{SaveQuestion, OpenDialog} << u"trip.svk"_s;
    QTest::newRow("Yes before Open, unnamed")
            << false << u"tOpen"_s << QStringList{SaveQuestion, SaveDialog, OpenDialog} << other;
    QTest::newRow("Yes on closing, named")
            << true << u"close"_s << QStringList{SaveQuestion} << u"trip.svk"_s;
    QTest::newRow("Yes on closing, unnamed")
            << false << u"close"_s << QStringList{SaveQuestion, SaveDialog} << other;
}

void TestForm1Files::typingReachesTheFile()
{
    QFETCH(bool, named);
    QFETCH(QString, command);
    QFETCH(QStringList, questions);
    QFETCH(QString, target);

    QVERIFY(start(named));
    const QString caption = m_driver->form().windowTitle();
    const QString key = named ? u"C2"_s : u"C0"_s;
    typeTitleAndBody();

    ScriptedQuestions &scripted = m_driver->questions();
    if (questions.contains(SaveQuestion))
        scripted.answerYesNo(true);
    if (questions.contains(SaveDialog))
        scripted.answerSave(path(target));
    if (questions.contains(OpenDialog))
        scripted.answerOpen(QString());
    run(command);

    QCOMPARE(scripted.askedTitles(), questions);
    const ReadResult read = readOutlineFile(path(target));
    QVERIFY(read.ok());
    const Category *typed = read.outline.item(key);
    QVERIFY(typed);
    QCOMPARE(typed->title(), u"typed title"_s);
    QCOMPARE(read.outline.TextData[size_t(typed->keyNumber())], u"typed body"_s);

    Document &document = m_driver->document();
    QVERIFY(!document.DataChanged);
    QVERIFY(!document.EditPending);
    QCOMPARE(document.CurrentFile, path(target));
    // Saving never renames the window.
    QCOMPARE(m_driver->form().windowTitle(), caption);
    if (target != u"trip.svk")
        QVERIFY(readOutlineFile(m_trip).outline.item(u"C2"_s)->title() == u"切符"_s);
}

void TestForm1Files::cancelledDialogs_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QStringList>("questions");

    QTest::newRow("Save, unnamed")
            << false << true << u"tSave"_s << false << QStringList{SaveDialog};
    QTest::newRow("Save As, named")
            << true << true << u"mCreate"_s << false << QStringList{SaveDialog};
    QTest::newRow("Save As, named and clean")
            << true << false << u"mCreate"_s << false << QStringList{SaveDialog};
    QTest::newRow("Open, clean: straight to the dialog")
            << true << false << u"mOpen"_s << false << QStringList{OpenDialog};
    QTest::newRow("Open answered No")
            << true << true << u"tOpen"_s << false << QStringList{SaveQuestion, OpenDialog};
    QTest::newRow("Open answered Yes, unnamed, Save dialog cancelled")
            << false << true << u"mOpen"_s << true
            << QStringList{SaveQuestion, SaveDialog, OpenDialog};
}

void TestForm1Files::cancelledDialogs()
{
    QFETCH(bool, named);
    QFETCH(bool, typed);
    QFETCH(QString, command);
    QFETCH(bool, yes);
    QFETCH(QStringList, questions);

    QVERIFY(start(named));
    if (typed)
        typeTitleAndBody();
    const QString key = named ? u"C2"_s : u"C0"_s;
    const QByteArray tripBefore = files::bytesOf(m_trip);
    const QString currentFile = m_driver->document().CurrentFile;
    const QString caption = m_driver->form().windowTitle();

    ScriptedQuestions &scripted = m_driver->questions();
    if (questions.contains(SaveQuestion))
        scripted.answerYesNo(yes);
    if (questions.contains(SaveDialog))
        scripted.answerSave(QString());
    if (questions.contains(OpenDialog))
        scripted.answerOpen(QString());
    run(command);

    QCOMPARE(scripted.askedTitles(), questions);
    Document &document = m_driver->document();
    QCOMPARE(document.CurrentFile, currentFile);
    QCOMPARE(document.DataChanged, typed);
    QCOMPARE(m_driver->form().windowTitle(), caption);
    QCOMPARE(files::bytesOf(m_trip), tripBefore);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 2);
    // The outline in memory keeps the typing, written back or still in the boxes.
    m_driver->pressOnEmptySpace();
    QCOMPARE(document.outline.item(key)->title(),
             typed ? u"typed title"_s : m_driver->titleBox()->text());
    QCOMPARE(document.outline.count(), named ? 5 : 1);
}

void TestForm1Files::openLoadsAndSelectsTheRoot()
{
    QVERIFY(start(false));
    typeTitleAndBody();
    ScriptedQuestions &scripted = m_driver->questions();
    scripted.answerYesNo(false);
    scripted.answerOpen(m_trip);
    m_driver->action(u"mOpen"_s)->trigger();

    Document &document = m_driver->document();
    QCOMPARE(scripted.askedTitles(), (QStringList{SaveQuestion, OpenDialog}));
    QCOMPARE(document.outline.count(), 5);
    QCOMPARE(document.CurrentFile, m_trip);
    QCOMPARE(m_driver->form().windowTitle(), u"Sorveka [trip.svk]"_s);
    QCOMPARE(document.outline.selected(), document.outline.root());
    QCOMPARE(m_driver->tree()->currentIndex(), m_driver->indexOf(document.outline.root()));
    QCOMPARE(document.EditIndex, 1);
    QVERIFY(!document.EditPending);
    QVERIFY(!document.DataChanged);
    QCOMPARE(m_driver->titleBox()->text(), u"旅行"_s);
    QCOMPARE(m_driver->bodyBox()->toPlainText(), u"金曜日に出発。"_s);

    // The dialog starts from the name chosen last; commands act on the root.
    scripted.answerOpen(QString());
    QVERIFY(m_driver->clickToolbar(u"tOpen"_s));
    QCOMPARE(scripted.asked().last().fileName, m_trip);
    m_driver->action(u"mCheck"_s)->trigger();
    QVERIFY(!document.DataChanged);
}

void TestForm1Files::firstDialogStartsAtTheFileOrHome_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<QString>("command");
    QTest::newRow("unnamed, Save") << false << u"tSave"_s;
    QTest::newRow("unnamed, Save As") << false << u"mCreate"_s;
    QTest::newRow("unnamed, Open") << false << u"tOpen"_s;
    QTest::newRow("named, Save As") << true << u"mCreate"_s;
    QTest::newRow("named, Open") << true << u"tOpen"_s;
}

void TestForm1Files::firstDialogStartsAtTheFileOrHome()
{
    // Start-up makes the program's folder the working folder; a first dialog
    // must not open there, but at the outline's file or in the home folder.
    QFETCH(bool, named);
    QFETCH(QString, command);
    QVERIFY(start(named));
    ScriptedQuestions &scripted = m_driver->questions();
    if (command == u"tOpen"_s)
        scripted.answerOpen(QString());
    else
        scripted.answerSave(QString());
    run(command);
    QCOMPARE(scripted.asked().last().fileName, named ? m_trip : QDir::homePath() + u'/');
}

void TestForm1Files::failedOpenKeepsEverything_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("fails part-way") << u"broken.svk"_s;
    QTest::newRow("missing") << u"missing.svk"_s;
    QTest::newRow("a folder") << u"."_s;
}

void TestForm1Files::failedOpenKeepsEverything()
{
    QFETCH(QString, file);

    QVERIFY(start(true));
    typeTitleAndBody();
    const QString before = m_driver->state();

    ScriptedQuestions &scripted = m_driver->questions();
    scripted.answerYesNo(false);
    scripted.answerOpen(path(file));
    scripted.expectError();
    QVERIFY(m_driver->clickToolbar(u"tOpen"_s));

    QCOMPARE(scripted.askedTitles(), (QStringList{SaveQuestion, OpenDialog, ReadError}));
    QCOMPARE(m_driver->state(), before);
    // The typing still belongs to 切符.
    QVERIFY(m_driver->click(m_driver->category(u"C4"_s)));
    QCOMPARE(m_driver->category(u"C2"_s)->title(), u"typed title"_s);
    QCOMPARE(m_driver->category(u"C4"_s)->title(), u"メモ"_s);
}

void TestForm1Files::failedSaveLosesNothing_data()
{
    QTest::addColumn<QString>("startFile");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("dialogAnswer");

    QTest::newRow("Save As into a missing folder")
            << u"trip.svk"_s << u"mCreate"_s << u"none/new.svk"_s;
    QTest::newRow("Save As onto a folder") << u"trip.svk"_s << u"mCreate"_s << u"."_s;
    QTest::newRow("Save to a start-up name in a missing folder")
            << u"none/new.svk"_s << u"tSave"_s << QString();
}

void TestForm1Files::failedSaveLosesNothing()
{
    QFETCH(QString, startFile);
    QFETCH(QString, command);
    QFETCH(QString, dialogAnswer);

    ScriptedQuestions &scripted = m_driver->questions();
    const bool missingStart = !QFile::exists(path(startFile));
    if (missingStart)
        scripted.expectError();
    QVERIFY(m_driver->start({path(startFile)}, QString()));
    typeTitleAndBody();
    const QByteArray tripBefore = files::bytesOf(m_trip);
    const QString key = m_driver->document().editedCategory()->key();

    if (!dialogAnswer.isEmpty())
        scripted.answerSave(path(dialogAnswer));
    scripted.expectError();
    run(command);

    const auto errors = scripted.askedOf(ScriptedQuestions::Kind::Error);
    QCOMPARE(errors.size(), missingStart ? 2 : 1);
    QCOMPARE(errors.last().title, u"保存エラー"_s);
    QVERIFY(!errors.last().detail.isEmpty());
    Document &document = m_driver->document();
    QVERIFY(document.DataChanged);
    QCOMPARE(document.CurrentFile, path(startFile));
    QCOMPARE(document.outline.item(key)->title(), u"typed title"_s);
    QCOMPARE(document.outline.TextData[size_t(document.outline.item(key)->keyNumber())],
             u"typed body"_s);
    QCOMPARE(files::bytesOf(m_trip), tripBefore);
    QVERIFY(!QFileInfo::exists(path(u"none"_s)));
}

void TestForm1Files::failedSaveAtTheQuestionAsksAgain_data()
{
    QTest::addColumn<QStringList>("dialogAnswers");
    QTest::addColumn<int>("failures");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QString>("written");

    QTest::newRow("another name saves")
            << QStringList{u"saved.svk"_s} << 1 << QStringList{SaveQuestion, SaveError, SaveDialog}
            << u"saved.svk"_s;
    QTest::newRow("cancelled: the window closes unsaved")
            << QStringList{QString()} << 1 << QStringList{SaveQuestion, SaveError, SaveDialog}
            << QString();
    QTest::newRow("a second failure asks once more")
            << QStringList{u"."_s, u"saved.svk"_s} << 2
            << QStringList{SaveQuestion, SaveError, SaveDialog, SaveError, SaveDialog}
            << u"saved.svk"_s;
}

void TestForm1Files::failedSaveAtTheQuestionAsksAgain()
{
    QFETCH(QStringList, dialogAnswers);
    QFETCH(int, failures);
    QFETCH(QStringList, questions);
    QFETCH(QString, written);

    // The start-up name lies in a folder that does not exist: the first
    // write fails.
    ScriptedQuestions &scripted = m_driver->questions();
    scripted.expectError();
    QVERIFY(m_driver->start({path(u"none/new.svk"_s)}, QString()));
    typeTitleAndBody();
    scripted.clearAsked();

    scripted.answerYesNo(true);
    for (const QString &answer : dialogAnswers)
        scripted.answerSave(answer.isEmpty() ? QString() : path(answer));
    for (int i = 0; i < failures; ++i)
        scripted.expectError();
    m_driver->form().close();

    QCOMPARE(scripted.askedTitles(), questions);
    QVERIFY(!m_driver->form().isVisible());
    if (written.isEmpty()) {
        QVERIFY(m_driver->document().DataChanged);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 2);
        return;
    }
    const ReadResult read = readOutlineFile(path(written));
    QVERIFY(read.ok());
    QCOMPARE(read.outline.root()->title(), u"typed title"_s);
    QCOMPARE(m_driver->document().CurrentFile, path(written));
    QVERIFY(!m_driver->document().DataChanged);
}

void TestForm1Files::unstorableTextIsConfirmed_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes writes with a question mark") << u"mSave"_s << true;
    QTest::newRow("no cancels the save") << u"mSave"_s << false;
    QTest::newRow("no on closing keeps the window open") << u"close"_s << false;
    QTest::newRow("no before Open keeps the outline") << u"tOpen"_s << false;
}

void TestForm1Files::unstorableTextIsConfirmed()
{
    QFETCH(QString, command);
    QFETCH(bool, yes);

    QVERIFY(start(false));
    m_driver->titleBox()->end(false);
    QVERIFY(m_driver->commitInputMethodText(m_driver->titleBox(), u"😀"_s));
    ScriptedQuestions &scripted = m_driver->questions();
    const bool asksToSave = command != u"mSave";
    if (asksToSave)
        scripted.answerYesNo(true);
    scripted.answerSave(path(u"emoji.svk"_s));
    scripted.answerYesNo(yes);
    run(command);

    const QStringList saveAndConfirm{SaveDialog, SaveQuestion};
    QCOMPARE(scripted.askedTitles(),
             asksToSave ? QStringList{SaveQuestion} + saveAndConfirm : saveAndConfirm);
    const auto question = scripted.asked().last();
    QVERIFY(question.text.contains(u"😀"_s));
    QVERIFY(question.text.contains(u"名前付けてね"_s));
    QVERIFY(!question.yesIsDefault);

    Document &document = m_driver->document();
    QCOMPARE(QFile::exists(path(u"emoji.svk"_s)), yes);
    QCOMPARE(document.DataChanged, !yes);
    QCOMPARE(document.CurrentFile, yes ? path(u"emoji.svk"_s) : QString());
    // The outline in memory keeps the character either way, and a No leaves
    // the window with the outline and its boxes as they were.
    QCOMPARE(document.outline.root()->title(), u"名前付けてね😀"_s);
    QCOMPARE(m_driver->titleBox()->text(), u"名前付けてね😀"_s);
    QVERIFY(m_driver->form().isVisible());
    if (yes)
        QCOMPARE(readOutlineFile(path(u"emoji.svk"_s)).outline.root()->title(), u"名前付けてね?"_s);
}

void TestForm1Files::messageBoxesShowTextAsItIs_data()
{
    QTest::addColumn<bool>("question");
    QTest::newRow("question") << true;
    QTest::newRow("error with its detail") << false;
}

void TestForm1Files::messageBoxesShowTextAsItIs()
{
    QFETCH(bool, question);
    // File names and titles reach the boxes' texts as they are.
    const QString text = u"<u>plan.svk"_s;
    const QString detail = u"<hr>.svk"_s;

    // What the open box shows, as a screen reader reads it; then the box is
    // closed so the modal call returns.
    QStringList shown;
    std::function<void()> readBox = [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return QTimer::singleShot(0, readBox);
        for (const char *name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
            if (auto *label = box->findChild<QLabel *>(QLatin1StringView(name)))
                shown.append(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name));
        }
        box->done(0);
    };
    QTimer::singleShot(0, readBox);

    DialogQuestions questions;
    if (question)
        questions.askYesNo(u"保存確認"_s, text, true);
    else
        questions.showError(u"保存エラー"_s, text, detail);
    const QStringList expected = question ? QStringList{text} : QStringList{text, detail};
    QCOMPARE(shown, expected);
}

void TestForm1Files::longTitleIsCutInTheQuestion()
{
    // A megabyte-long title held the window for seconds while the question
    // laid it out.
    QVERIFY(start(false));
    m_driver->titleBox()->setText(QString(1 << 20, u'A'));
    m_driver->titleBox()->end(false);
    QVERIFY(m_driver->commitInputMethodText(m_driver->titleBox(), u"😀"_s));
    ScriptedQuestions &scripted = m_driver->questions();
    scripted.answerSave(path(u"long.svk"_s));
    scripted.answerYesNo(false);
    m_driver->action(u"mSave"_s)->trigger();

    const QString text = scripted.asked().last().text;
    QVERIFY(text.contains(u"・"_s + QString(40, u'A') + u"…: 保存できない文字「😀」"_s));
    QVERIFY(text.size() < 1000);
}

void TestForm1Files::othersChangesAreNotOverwrittenUnasked_data()
{
    QTest::addColumn<bool>("savedFirst");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("yes");
    QTest::newRow("changed since opened, Yes overwrites") << false << false << true << true;
    QTest::newRow("changed since opened, No writes nothing") << false << false << true << false;
    QTest::newRow("changed since the last save") << true << false << true << false;
    QTest::newRow("deleted since opened: written again unasked") << false << true << false << false;
}

void TestForm1Files::othersChangesAreNotOverwrittenUnasked()
{
    QFETCH(bool, savedFirst);
    QFETCH(bool, deleted);
    QFETCH(bool, asked);
    QFETCH(bool, yes);

    QVERIFY(start(true));
    if (savedFirst)
        run(u"tSave"_s);
    typeTitleAndBody();
    const QByteArray others = "written by another program\r\n";
    if (deleted)
        QVERIFY(QFile::remove(m_trip));
    else
        QVERIFY(files::writeBytes(m_trip, others));

    ScriptedQuestions &scripted = m_driver->questions();
    if (asked)
        scripted.answerYesNo(yes);
    run(u"tSave"_s);

    QCOMPARE(scripted.askedTitles(), asked ? QStringList{OverwriteQuestion} : QStringList());
    if (asked) {
        QCOMPARE(scripted.asked().last().text,
                 u"ファイルが他のプログラムで変更されています。上書きしますか？"_s);
        QVERIFY(!scripted.asked().last().yesIsDefault);
    }
    Document &document = m_driver->document();
    QCOMPARE(document.outline.item(u"C2"_s)->title(), u"typed title"_s);
    if (asked && !yes) {
        QCOMPARE(files::bytesOf(m_trip), others);
        QVERIFY(document.DataChanged);
        return;
    }
    QVERIFY(!document.DataChanged);
    const ReadResult read = readOutlineFile(m_trip);
    QVERIFY(read.ok());
    QCOMPARE(read.outline.item(u"C2"_s)->title(), u"typed title"_s);
}

void TestForm1Files::failureReasonsAreJapanese_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("target"); // opened or saved to, in the test's folder
    QTest::addColumn<QByteArray>("parentKey"); // of the second record of the file opened
    QTest::addColumn<QString>("detail");

    QTest::newRow("Open: unknown parent") << u"tOpen"_s << u"parent.svk"_s << QByteArray("C9")
                                          << u"12 行目: 親のキー「C9」のカテゴリがありません"_s;
    // Laying out a megabyte-long key held the window for seconds.
    QTest::newRow("Open: a megabyte-long key is cut")
            << u"tOpen"_s << u"parent.svk"_s << QByteArray("C") + QByteArray(1 << 20, 'A')
            << u"12 行目: 親のキー「C"_s + QString(39, u'A') + u"…」のカテゴリがありません"_s;
    QTest::newRow("Open: a folder")
            << u"tOpen"_s << u"folder"_s << QByteArray()
            << u"通常のファイルではありません（フォルダー、パイプ、装置など）"_s;
    QTest::newRow("Save As: no such folder") << u"mCreate"_s << u"none/new.svk"_s << QByteArray()
                                             << u"ファイルまたはフォルダーが見つかりません"_s;
    QTest::newRow("Save As: onto a pipe") << u"mCreate"_s << u"pipe"_s << QByteArray()
                                          << u"通常のファイルではありません（パイプ、装置など）"_s;
}

void TestForm1Files::failureReasonsAreJapanese()
{
    QFETCH(QString, command);
    QFETCH(QString, target);
    QFETCH(QByteArray, parentKey);
    QFETCH(QString, detail);

    QVERIFY(start(true));
    ScriptedQuestions &scripted = m_driver->questions();
    const QString file = path(target);
    if (target == u"folder")
        QVERIFY(QDir().mkdir(file));
    if (target == u"pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    if (!parentKey.isEmpty())
        QVERIFY(files::writeBytes(
                file,
                "SORVEKA_KEY=C0\r\nSORVEKA_TITLE=root\r\nSORVEKA_CHECKED=False\r\n"
                "SORVEKA_DATA_CHECK_MARK\r\n\r\nSORVEKA_END_CHECK_MARK\r\n\r\n"
                "SORVEKA_KEY=C1\r\nSORVEKA_PARENT="
                        + parentKey
                        + "\r\nSORVEKA_DATA_CHECK_MARK\r\n\r\n"
                          "SORVEKA_END_CHECK_MARK\r\n"));
    if (command == u"tOpen")
        scripted.answerOpen(file);
    else
        scripted.answerSave(file);
    scripted.expectError();
    run(command);

    const auto errors = scripted.askedOf(ScriptedQuestions::Kind::Error);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().detail, detail);
}

void TestForm1Files::firstSaveDialogHasAnEmptyName()
{
    // The home folder's own name is not a name for the user's outline.
    QString name = u"<not shown>"_s;
    QString folder;
    runRealDialog(false, m_dir->path() + u'/', [&](QFileDialog &dialog) {
        name = fileNameField(dialog)->text();
        folder = dialog.directory().absolutePath();
    });
    QCOMPARE(name, QString());
    QCOMPARE(folder, QDir(m_dir->path()).absolutePath());
}

void TestForm1Files::allFilesChoiceListsEveryFile()
{
    QVERIFY(samplefiles::writeTrip(path(u"notes"_s)));
    QStringList choices;
    bool listed = false;
    runRealDialog(true, m_trip, [&](QFileDialog &dialog) {
        auto *combo = dialog.findChild<QComboBox *>(u"fileTypeCombo"_s);
        for (int i = 0; i < combo->count(); ++i)
            choices << combo->itemText(i);
        combo->setCurrentIndex(2);
        emit combo->activated(2);
        // The list fills as the folder is read.
        auto *list = dialog.findChild<QAbstractItemView *>(u"listView"_s);
        listed = QTest::qWaitFor([list] {
            const QAbstractItemModel *model = list->model();
            const QModelIndex root = list->rootIndex();
            for (int row = 0; row < model->rowCount(root); ++row)
                if (model->index(row, 0, root).data() == u"notes"_s)
                    return true;
            return false;
        });
    });
    QCOMPARE(choices, (QStringList{u"Sorveka (*.svk)"_s, u"Text (*.txt)"_s, u"All (*.*)"_s}));
    QVERIFY(listed);
}

void TestForm1Files::typedFullPathOpens()
{
    const QString other = path(u"other.svk"_s);
    QVERIFY(samplefiles::writeTrip(other));
    const QString chosen = runRealDialog(true, m_trip, [&](QFileDialog &dialog) {
        // The dialog is not the active window here, so the field types
        // without focus, as before a window manager hands the focus over.
        QLineEdit *field = fileNameField(dialog);
        field->selectAll();
        QTest::keyClicks(field, other);
        QTest::keyClick(field, Qt::Key_Return);
    });
    QCOMPARE(chosen, other);
}

void TestForm1Files::fileListNeverReadsFiles()
{
    // Some files never answer a read (/proc/kmsg). A picture without an
    // extension shows whether the list looked inside a file.
    QVERIFY(files::writeBytes(path(u"picture"_s),
                              QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(64, 0)));
    QString type;
    runRealDialog(true, m_trip, [&](QFileDialog &dialog) {
        auto *model = dialog.findChild<QFileSystemModel *>();
        QVERIFY(QTest::qWaitFor([&] {
            type = model->index(path(u"picture"_s), 2).data().toString();
            return !type.isEmpty();
        }));
    });
    QVERIFY2(!type.contains(u"PNG"_s), qPrintable(type));
}

QTEST_MAIN(TestForm1Files)
#include "tst_form1files.moc"
