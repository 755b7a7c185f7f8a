// The real window, shown offscreen, timed from a user's action until the
// widgets have drawn its result: clicking a category, toggling a mark,
// creating a category and typing, each beside the same action where the
// outline is small.
#include "bench/benchdata.h"
#include "bench/benchquestions.h"

#include "file/outlinewriter.h"
#include "mainwindow/form1.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// A shown window with an outline opened through the window's own load path.
struct Window
{
    BenchQuestions questions;
    QTemporaryDir folder;
    std::unique_ptr<Form1> form;

    Category *category(int keyNumber)
    {
        return form->document().outline.item(Outline::keyText(keyNumber));
    }
    QTreeView *tree() { return form->findChild<QTreeView *>(QStringLiteral("Tt")); }
    QLineEdit *title() { return form->findChild<QLineEdit *>(QStringLiteral("txtTitle")); }
    QPlainTextEdit *body() { return form->findChild<QPlainTextEdit *>(QStringLiteral("txtEdit")); }
    void trigger(const char *name)
    {
        QAction *action = form->findChild<QAction *>(QLatin1StringView(name));
        if (!action)
            qFatal("bench_interaction: the window has no action %s", name);
        action->trigger();
    }
};

// Windows live until main() ends, before the application does: building
// one (and its outline) costs more than a whole benchmark run.
std::map<std::string, std::unique_ptr<Window>> &windows()
{
    static std::map<std::string, std::unique_ptr<Window>> all;
    return all;
}

Window &window(const std::string &name, const std::function<Outline()> &makeOutline)
{
    std::unique_ptr<Window> &slot = windows()[name];
    if (slot)
        return *slot;
    slot = std::make_unique<Window>();
    const QString path = slot->folder.filePath(QStringLiteral("bench.svk"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(writeOutline(makeOutline())) < 0)
        qFatal("bench_interaction: cannot write %s", qPrintable(path));
    file.close();
    slot->form = std::make_unique<Form1>(slot->questions);
    slot->form->show();
    if (!QTest::qWaitForWindowExposed(slot->form.get()))
        qFatal("bench_interaction: the window was not shown");
    if (!slot->form->fileCommands().DataLoad(path))
        qFatal("bench_interaction: the window could not open %s", qPrintable(path));
    QCoreApplication::processEvents();
    return *slot;
}

// Notes which widgets painted since it was last cleared.
class PaintWatch : public QObject
{
public:
    QSet<QObject *> painted;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted.insert(watched);
        return false;
    }
};

// Runs what is left of an action's work (posted events: layout, the updates
// the widgets asked for, as in the event loop).
void settle()
{
    QCoreApplication::processEvents();
}

// Times `action` until the widgets showing its result have painted. Qt
// paints what the action marked for update; a widget that was not marked is
// painted whole, so nothing shown is ever left out of the time.
template<typename Action>
void timeUntilShown(benchmark::State &state, std::initializer_list<QWidget *> shown,
                    Action &&action)
{
    static PaintWatch watch;
    for (QWidget *widget : shown)
        widget->installEventFilter(&watch);
    watch.painted.clear();
    const auto start = Clock::now();
    action();
    settle();
    for (QWidget *widget : shown) {
        if (!watch.painted.contains(widget)) {
            widget->repaint();
            state.counters["forced_paints"].value += 1;
        }
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
}

void checkQuiet(benchmark::State &state, const Window &w)
{
    if (w.questions.asked() != 0)
        state.SkipWithError("the window asked a question");
}

// Root C0, C1 with a 10 MiB body, C2 and C3 empty, C4 with the first few
// screens of C1's body, all under the root.
Outline bigBodyOutline()
{
    Outline outline;
    Category *root = outline.addTopLevel(QStringLiteral("C0"), QStringLiteral("根"));
    outline.TextData[0] = benchdata::makeBody(200, 1);
    for (int i = 1; i <= 4; ++i)
        outline.addChild(root, Outline::keyText(i), QStringLiteral("項目 %1").arg(i));
    outline.TextData[1] = benchdata::makeBody(10 * benchdata::MiB, 2);
    // Same seed: the one-screen body is the large one's beginning.
    outline.TextData[4] = benchdata::makeBody(4096, 2);
    outline.KeyCounter = 5;
    return outline;
}

// Characters the body box holds once it shows all of category `to`'s body.
qsizetype shownBodySize(Window &w, int to)
{
    const QString &body = w.form->document().outline.TextData[size_t(to)];
    return body.size() - body.count(u'\r');
}

// Lets the box take in the rest of a large body, which it appends in slices
// from the event loop.
void waitUntilWhole(Window &w, int to)
{
    const qsizetype whole = shownBodySize(w, to);
    while (w.body()->document()->characterCount() - 1 < whole)
        QCoreApplication::processEvents();
}

// Times clicking category `to` while category `from` is shown: until the
// boxes have painted, or with `whole` until the body box holds all of it.
void click(benchmark::State &state, int from, int to, bool whole = false)
{
    Window &w = window("bigbody", bigBodyOutline);
    Category *source = w.category(from);
    Category *target = w.category(to);
    for (auto _ : state) {
        w.form->Tt_NodeClick(source);
        waitUntilWhole(w, from);
        settle();
        timeUntilShown(state, {w.title(), w.body()->viewport()}, [&] {
            w.form->Tt_NodeClick(target);
            if (whole)
                waitUntilWhole(w, to);
        });
    }
    waitUntilWhole(w, to);
    if (w.body()->toPlainText().size() != shownBodySize(w, to))
        state.SkipWithError("the body box does not show the clicked category");
    checkQuiet(state, w);
}

void clickBigBody(benchmark::State &state)
{
    click(state, 2, 1);
}
void clickBigBodyWhole(benchmark::State &state)
{
    click(state, 2, 1, true);
}
void leaveBigBody(benchmark::State &state)
{
    click(state, 1, 2);
}
void clickEmptyBody(benchmark::State &state)
{
    click(state, 3, 2);
}

Outline shapedOutline(benchdata::Shape shape)
{
    benchdata::OutlineRecipe recipe;
    recipe.categories = 2048;
    recipe.bodyBytes = 2048 * 64;
    recipe.shape = shape;
    return benchdata::makeOutline(recipe);
}

// Toggles the mark of the last category, the deepest one in a chain.
void toggleCheck(benchmark::State &state, benchdata::Shape shape)
{
    Window &w = window(shape == benchdata::Shape::Chain ? "chain" : "flat",
                       [shape] { return shapedOutline(shape); });
    Category *last = w.category(2047);
    // Where a user could click it: every ancestor open.
    w.form->document().outline.ensureVisible(last);
    w.form->Tt_NodeClick(last);
    settle();
    // Scrolled sideways to show its mark, as the user who clicked it saw it.
    // (scrollTo only scrolls up and down here: it aligns the column, not the row.)
    QTreeView *tree = w.tree();
    tree->scrollTo(tree->currentIndex());
    tree->horizontalScrollBar()->setValue(tree->horizontalScrollBar()->value()
                                          + tree->visualRect(tree->currentIndex()).left() - 40);
    settle();
    if (!tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex()).topLeft()))
        state.SkipWithError("the toggled category is not in view");
    const bool before = last->checked();
    int toggles = 0;
    for (auto _ : state) {
        timeUntilShown(state, {w.tree()->viewport()}, [&] { w.trigger("mCheck"); });
        ++toggles;
    }
    if (last->checked() != (before != (toggles % 2 == 1)))
        state.SkipWithError("the mark did not toggle");
    checkQuiet(state, w);
}

void toggleCheckChain(benchmark::State &state)
{
    toggleCheck(state, benchdata::Shape::Chain);
}
void toggleCheckFlat(benchmark::State &state)
{
    toggleCheck(state, benchdata::Shape::Flat);
}

// Creates a child of a category in the middle of an outline of `categories`;
// each new category is deleted again untimed, and the key counter put back,
// so that every iteration creates under the same limit.
void createCategory(benchmark::State &state, int categories)
{
    Window &w = window("create" + std::to_string(categories), [categories] {
        benchdata::OutlineRecipe recipe;
        recipe.categories = categories;
        recipe.bodyBytes = qsizetype(categories) * 1024;
        return benchdata::makeOutline(recipe);
    });
    Outline &outline = w.form->document().outline;
    Category *target = outline.item(categories / 2);
    for (auto _ : state) {
        w.form->Tt_NodeClick(target);
        settle();
        timeUntilShown(state, {w.tree()->viewport()}, [&] { w.trigger("CreateNextLevel"); });
        Category *created = w.category(categories);
        if (!created || outline.count() != categories + 1) {
            state.SkipWithError("no category was created");
            break;
        }
        w.form->Tt_NodeClick(created);
        w.trigger("mDelete");
        outline.KeyCounter = categories;
    }
    checkQuiet(state, w);
}

void createInFullOutline(benchmark::State &state)
{
    createCategory(state, 2046);
}
void createInSmallOutline(benchmark::State &state)
{
    createCategory(state, 50);
}

enum class Line { First, New };

// Types one letter per iteration at the start of category `keyNumber`'s body,
// taking it back untimed, so every key lands in the same line as the first
// and the large and the short body show the same lines around it. With
// Line::New the letters go on an empty line opened above the first, as in an
// empty box, so only the size of the body differs.
void keyPress(benchmark::State &state, int keyNumber, Line line = Line::First)
{
    Window &w = window("typing" + std::to_string(keyNumber) + (line == Line::New ? "new" : ""),
                       bigBodyOutline);
    w.form->Tt_NodeClick(w.category(keyNumber));
    waitUntilWhole(w, keyNumber);
    QPlainTextEdit *body = w.body();
    body->setFocus();
    body->moveCursor(QTextCursor::Start);
    if (line == Line::New) {
        QTest::keyClick(body, Qt::Key_Return);
        body->moveCursor(QTextCursor::Start);
    }
    settle();
    const int before = body->document()->characterCount();
    for (auto _ : state) {
        timeUntilShown(state, {body->viewport()}, [&] { QTest::keyClick(body, Qt::Key_A); });
        if (body->document()->characterCount() != before + 1) {
            state.SkipWithError("the key press did not reach the body box");
            break;
        }
        body->undo();
        settle();
    }
    checkQuiet(state, w);
}

void keyPressBigBody(benchmark::State &state)
{
    keyPress(state, 1);
}
void keyPressBigBodyNewLine(benchmark::State &state)
{
    keyPress(state, 1, Line::New);
}
void keyPressEmptyBody(benchmark::State &state)
{
    keyPress(state, 2);
}
// The same lines drawn as in the large body, without its size.
void keyPressScreenBody(benchmark::State &state)
{
    keyPress(state, 4);
}

} // namespace

BENCHMARK(clickEmptyBody)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(clickBigBody)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(clickBigBodyWhole)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
// Each iteration first shows the large body again, untimed: a fixed count
// keeps that from taking minutes once leaving is fast.
BENCHMARK(leaveBigBody)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(toggleCheckFlat)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(toggleCheckChain)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(createInSmallOutline)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(createInFullOutline)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(keyPressEmptyBody)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(keyPressScreenBody)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(keyPressBigBody)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(keyPressBigBodyNewLine)->UseManualTime()->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    windows().clear();
    return 0;
}
