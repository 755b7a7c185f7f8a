#include "formdriver.h"
#include "tests/support/outlinerecords.h"
#include "tests/support/outlinescript.h"
#include "tests/support/samplefiles.h"
#include "tests/support/testfiles.h"

#include "document/document.h"
#include "file/outlinereader.h"
#include "mainwindow/filecommands.h"
#include "mainwindow/form1.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

enum class Route { Toolbar, Menu, Separator, Direct };
enum class Effect { Nothing, AskNew, OpenDialog, SaveDialog, Saved, Toggle, Delete, About };

} // namespace

Q_DECLARE_METATYPE(Route)
Q_DECLARE_METATYPE(Effect)

// Every toolbar button and menu item reaches its handler, or nothing: the
// window starts on a saved outline with the checked leaf 切符 selected.
class TestForm1Commands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void dispatch_data();
    void dispatch();
    void checkCommandsAgree_data();
    void checkCommandsAgree();
    void commandsKeepNoState();
    void modelPassesQtsChecks_data();
    void modelPassesQtsChecks();

private:
    bool choose(Route route, const QString &name);

    QTemporaryDir m_dir;
    QString m_trip;
    std::unique_ptr<FormDriver> m_driver;
};

void TestForm1Commands::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_trip = m_dir.filePath(u"trip.svk"_s);
}

void TestForm1Commands::init()
{
    QVERIFY(samplefiles::writeTrip(m_trip));
    m_driver = std::make_unique<FormDriver>();
    QVERIFY(m_driver->start({m_trip}, QString()));
    QVERIFY(m_driver->click(m_driver->category(u"C2"_s)));
    QVERIFY(!m_driver->document().DataChanged);
}

void TestForm1Commands::cleanup()
{
    const QStringList problems = m_driver->questions().problems();
    m_driver.reset();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

bool TestForm1Commands::choose(Route route, const QString &name)
{
    switch (route) {
    case Route::Toolbar: return m_driver->clickToolbar(name);
    case Route::Menu: {
        // Open the item's menu and click the item, as the user does.
        QAction *item = m_driver->action(name);
        auto *menu = item ? qobject_cast<QMenu *>(item->parent()) : nullptr;
        if (!menu)
            return false;
        menu->popup(m_driver->form().mapToGlobal(QPoint(10, 10)));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        const bool closed = !menu->isVisible();
        menu->close();
        return closed;
    }
    case Route::Separator: {
        const auto actions = m_driver->toolbar()->actions();
        for (QAction *action : actions) {
            if (!action->isSeparator())
                continue;
            QWidget *widget = m_driver->toolbar()->widgetForAction(action);
            if (!widget)
                return false;
            QTest::mouseClick(widget, Qt::LeftButton);
        }
        return true;
    }
    case Route::Direct: m_driver->form().Toolbar1_ButtonClick(name); return true;
    }
    return false;
}

void TestForm1Commands::dispatch_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<QString>("name");
    QTest::addColumn<Effect>("effect");

    const auto row = [](Route route, const char *name, Effect effect) {
        const char *prefix = route == Route::Toolbar ? "toolbar "
                : route == Route::Menu               ? "menu "
                                                     : "";
        QTest::addRow("%s%s", prefix, name) << route << QString::fromLatin1(name) << effect;
    };
    row(Route::Toolbar, "tNew", Effect::AskNew);
    row(Route::Toolbar, "tOpen", Effect::OpenDialog);
    row(Route::Toolbar, "tSave", Effect::Saved);
    row(Route::Toolbar, "tCopy", Effect::Nothing);
    row(Route::Toolbar, "tCut", Effect::Nothing);
    row(Route::Toolbar, "tPaste", Effect::Nothing);
    row(Route::Toolbar, "tCheck", Effect::Toggle);
    row(Route::Toolbar, "tDelete", Effect::Delete);
    row(Route::Toolbar, "tPrint", Effect::Nothing);
    row(Route::Toolbar, "tPreview", Effect::Nothing);
    row(Route::Toolbar, "tUp", Effect::Nothing);
    row(Route::Toolbar, "tDown", Effect::Nothing);
    row(Route::Menu, "mOpen", Effect::OpenDialog);
    row(Route::Menu, "mSave", Effect::Saved);
    row(Route::Menu, "mCreate", Effect::SaveDialog);
    row(Route::Menu, "mEnd", Effect::Nothing);
    row(Route::Menu, "mCopy", Effect::Nothing);
    row(Route::Menu, "mCut", Effect::Nothing);
    row(Route::Menu, "mPaste", Effect::Nothing);
    row(Route::Menu, "mCheck", Effect::Toggle);
    row(Route::Menu, "mDelete", Effect::Delete);
    row(Route::Menu, "mPrint", Effect::Nothing);
    row(Route::Menu, "mPreview", Effect::Nothing);
    row(Route::Menu, "mAbout", Effect::About);
    QTest::newRow("toolbar separators") << Route::Separator << QString() << Effect::Nothing;
    QTest::newRow("key in other case") << Route::Direct << u"TNEW"_s << Effect::Nothing;
    QTest::newRow("unknown key") << Route::Direct << u"tSaveAs"_s << Effect::Nothing;
    QTest::newRow("empty key") << Route::Direct << QString() << Effect::Nothing;
}

void TestForm1Commands::dispatch()
{
    QFETCH(Route, route);
    QFETCH(QString, name);
    QFETCH(Effect, effect);

    ScriptedQuestions &questions = m_driver->questions();
    Document &document = m_driver->document();
    if (effect == Effect::AskNew)
        questions.answerYesNo(false);
    if (effect == Effect::OpenDialog)
        questions.answerOpen(QString());
    if (effect == Effect::SaveDialog)
        questions.answerSave(QString());
    // Removed rather than overwritten: another program's content would be
    // a question before saving over it.
    if (effect == Effect::Saved)
        QVERIFY(QFile::remove(m_trip));
    const QString before = m_driver->state();

    QVERIFY(choose(route, name));

    QStringList expectedQuestions;
    if (effect == Effect::AskNew)
        expectedQuestions << u"yesno|新規"_s;
    if (effect == Effect::OpenDialog)
        expectedQuestions << u"open|"_s;
    if (effect == Effect::SaveDialog)
        expectedQuestions << u"save|"_s;
    QCOMPARE(questions.askedTitles(), expectedQuestions);
    if (effect == Effect::OpenDialog || effect == Effect::SaveDialog)
        QCOMPARE(questions.asked().first().filter, FileCommands::Filter);

    switch (effect) {
    case Effect::Nothing:
    case Effect::AskNew:
    case Effect::OpenDialog:
    case Effect::SaveDialog:
        QCOMPARE(m_driver->state(), before);
        QVERIFY(!m_driver->form().about());
        break;
    case Effect::Saved: {
        QCOMPARE(m_driver->state(), before);
        const ReadResult read = readOutlineFile(m_trip);
        QVERIFY(read.ok());
        QCOMPARE(read.outline.count(), 5);
        QCOMPARE(read.outline.item(u"C2"_s)->title(), u"切符"_s);
        break;
    }
    case Effect::Toggle: {
        const Category *tickets = m_driver->category(u"C2"_s);
        QVERIFY(!tickets->checked());
        QCOMPARE(tickets->image(), 3);
        QCOMPARE(document.outline.selected(), tickets);
        QVERIFY(document.DataChanged);
        break;
    }
    case Effect::Delete:
        QVERIFY(!m_driver->category(u"C2"_s));
        QCOMPARE(document.outline.count(), 4);
        QCOMPARE(document.outline.selected(), m_driver->category(u"C4"_s));
        QCOMPARE(m_driver->titleBox()->text(), u"メモ"_s);
        QCOMPARE(document.EditIndex, m_driver->category(u"C4"_s)->index());
        QVERIFY(document.DataChanged);
        break;
    case Effect::About:
        QCOMPARE(m_driver->state(), before);
        QVERIFY(m_driver->form().about());
        QVERIFY(m_driver->form().about()->isVisible());
        break;
    }
}

void TestForm1Commands::checkCommandsAgree_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("checked");

    // 予定表 is its parent's only child: ticking it ticks 荷造り too.
    QTest::newRow("menu on the only child") << Route::Menu << u"mCheck"_s << u"C3"_s << true;
    QTest::newRow("toolbar on the only child") << Route::Toolbar << u"tCheck"_s << u"C3"_s << true;
    QTest::newRow("menu on a parent") << Route::Menu << u"mCheck"_s << u"C1"_s << false;
    QTest::newRow("toolbar on a parent") << Route::Toolbar << u"tCheck"_s << u"C1"_s << false;
    QTest::newRow("menu on the root") << Route::Menu << u"mCheck"_s << u"C0"_s << false;
    QTest::newRow("toolbar on the root") << Route::Toolbar << u"tCheck"_s << u"C0"_s << false;
}

void TestForm1Commands::checkCommandsAgree()
{
    QFETCH(Route, route);
    QFETCH(QString, name);
    QFETCH(QString, key);
    QFETCH(bool, checked);

    m_driver->tree()->expandAll();
    Category *category = m_driver->category(key);
    QVERIFY(m_driver->click(category));
    QVERIFY(choose(route, name));

    QCOMPARE(category->checked(), checked);
    QCOMPARE(m_driver->category(u"C1"_s)->checked(), key == u"C3"_s);
    QCOMPARE(m_driver->document().DataChanged, checked);
}

void TestForm1Commands::commandsKeepNoState()
{
    // Menus and buttons are never disabled, whatever is selected.
    m_driver->tree()->expandAll();
    QVERIFY(m_driver->click(m_driver->document().outline.root()));
    const auto actions = m_driver->form().findChildren<QAction *>();
    int commands = 0;
    for (const QAction *action : actions) {
        if (action->isSeparator() || action->objectName().isEmpty())
            continue;
        ++commands;
        QVERIFY2(action->isEnabled() && action->isVisible(), qPrintable(action->objectName()));
        QVERIFY2(!action->isChecked(), qPrintable(action->objectName()));
    }
    // 12 toolbar buttons, 12 menu items and 7 popup items.
    QCOMPARE(commands, 12 + 12 + 7);
}

void TestForm1Commands::modelPassesQtsChecks_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("tree");

    const QString trip = u"C0(C1(C3) C2 C4)"_s;
    QTest::newRow("loading a file") << QString() << QString() << trip;
    QTest::newRow("creating below") << u"C1"_s << u"CreateNextLevel"_s << u"C0(C1(C3 C5) C2 C4)"_s;
    QTest::newRow("creating in front")
            << u"C4"_s << u"CreateThisLevel"_s << u"C0(C1(C3) C2 C5 C4)"_s;
    QTest::newRow("toggling a mark") << u"C2"_s << u"tCheck"_s << trip;
    QTest::newRow("deleting a category with children") << u"C1"_s << u"tDelete"_s << u"C0(C2 C4)"_s;
    QTest::newRow("replacing by Open") << u"C3"_s << u"tOpen"_s << u"C0(C1)"_s;
    QTest::newRow("replacing by New") << u"C3"_s << u"tNew"_s << u"C0"_s;
}

// Qt's own checks of a model, over the window's model from before the load on:
// rows the tree is told of must be the rows the outline holds.
void TestForm1Commands::modelPassesQtsChecks()
{
    QFETCH(QString, key);
    QFETCH(QString, command);
    QFETCH(QString, tree);

    m_driver = std::make_unique<FormDriver>();
    QAbstractItemModelTester tester(m_driver->tree()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    QVERIFY(m_driver->start({m_trip}, QString()));
    m_driver->tree()->expandAll();
    if (!key.isEmpty())
        QVERIFY(m_driver->click(m_driver->category(key)));

    const QString other = m_dir.filePath(u"other.svk"_s);
    QVERIFY(files::writeBytes(other,
                              outlinerecords::record("C0") + outlinerecords::record("C1", "C0")));
    if (command == u"tOpen")
        m_driver->questions().answerOpen(other);
    if (command == u"tNew")
        m_driver->questions().answerYesNo(true);
    if (command.startsWith(u't'))
        QVERIFY(m_driver->clickToolbar(command));
    else if (!command.isEmpty())
        QVERIFY(m_driver->rightClickAt(m_driver->rowCentre(m_driver->category(key)), command));

    QCOMPARE(outlinescript::treeOrder(m_driver->document().outline), tree);
}

QTEST_MAIN(TestForm1Commands)
#include "tst_form1commands.moc"
