// Drives the real window through open, edit, save and New many times, for a
// leak checker to watch: whatever a cycle allocates and forgets shows up
// twenty times over. Exits 0 when every step did what it should.
#include "saverrun.h"
#include "tests/support/samplefiles.h"

#include "tests/mainwindow/formdriver.h"

#include "document/document.h"
#include "file/outlinereader.h"
#include "file/outlinewriter.h"
#include "mainwindow/form1.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

int fail(const char *step, int cycle)
{
    std::fprintf(stderr, "leakdriver: %s failed in cycle %d\n", step, cycle);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int cycles = argc > 1 ? QByteArray(argv[1]).toInt() : 20;
    QTemporaryDir dir;
    const QString trip = dir.filePath(u"旅行.svk"_s);
    const Outline saved = samplefiles::trip();
    if (!dir.isValid() || !files::writeBytes(trip, writeOutline(saved)))
        return fail("preparing the file", 0);

    FormDriver driver;
    if (!driver.start())
        return fail("showing the window", 0);
    ScriptedQuestions &questions = driver.questions();
    const Document &document = driver.document();
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        // New keeps DataChanged, so Open asks first; No, it was saved.
        if (document.DataChanged)
            questions.answerYesNo(false);
        questions.answerOpen(trip);
        if (!driver.clickToolbar(u"tOpen"_s)
            || document.outline.count() != saved.count() - 1 + cycle)
            return fail("open", cycle);

        if (!driver.click(driver.category(u"C2"_s)))
            return fail("click", cycle);
        QTest::keyClicks(driver.titleBox(), u" edit %1"_s.arg(cycle));
        QTest::keyClicks(driver.bodyBox(), u"body"_s);
        QTest::keyClick(driver.bodyBox(), Qt::Key_Return);
        driver.action(u"CreateNextLevel"_s)->trigger();
        if (!document.DataChanged)
            return fail("edit", cycle);

        if (!driver.clickToolbar(u"tSave"_s) || document.DataChanged)
            return fail("save", cycle);

        questions.answerYesNo(true);
        if (!driver.clickToolbar(u"tNew"_s) || document.outline.count() != 1)
            return fail("new", cycle);
        QCoreApplication::processEvents();
    }

    const ReadResult read = readOutlineFile(trip);
    if (!read.ok() || read.outline.count() != saved.count() + cycles)
        return fail("reading the last save back", cycles);
    const QStringList problems = questions.problems();
    if (!problems.isEmpty()) {
        std::fprintf(stderr, "leakdriver: %s\n", qPrintable(problems.join(u'\n')));
        return 2;
    }
    std::printf("leakdriver: %d cycles done\n", cycles);
    return 0;
}
