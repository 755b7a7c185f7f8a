// Only the paragraph being typed in and its neighbours keep their glyphs,
// and only while the cursor is there.
#include "mainwindow/currentparagraphcache.h"

#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int Longest = CurrentParagraphCache::MaxCachedLength;

// The numbers of the box's paragraphs whose layouts keep their glyphs.
QList<int> cachedParagraphs(const QPlainTextEdit &box)
{
    QList<int> cached;
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
        if (block.layout()->cacheEnabled())
            cached.append(block.blockNumber());
    }
    return cached;
}

void moveToParagraph(QPlainTextEdit &box, int number)
{
    QTextCursor cursor(box.document()->findBlockByNumber(number));
    box.setTextCursor(cursor);
}

} // namespace

class TestCurrentParagraphCache : public QObject
{
    Q_OBJECT

private slots:
    void keepsOnlyTheCursorsParagraph_data();
    void keepsOnlyTheCursorsParagraph();
    void typingKeepsTheParagraph();
    void newTextStartsAtItsFirstParagraph();
};

void TestCurrentParagraphCache::keepsOnlyTheCursorsParagraph_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("moves");
    QTest::addColumn<QList<int>>("expected");

    const QString lines = u"一行目\n二行目\n三行目\n四行目"_s;
    QTest::newRow("start") << lines << QList<int>{} << QList<int>{0, 1};
    QTest::newRow("moved down") << lines << QList<int>{2} << QList<int>{1, 2, 3};
    QTest::newRow("down and back") << lines << QList<int>{3, 1, 0} << QList<int>{0, 1};
    QTest::newRow("last") << lines << QList<int>{3} << QList<int>{2, 3};
    QTest::newRow("same paragraph twice") << lines << QList<int>{1, 1} << QList<int>{0, 1, 2};
    QTest::newRow("empty box") << QString() << QList<int>{} << QList<int>{0};

    const QString longFirst = QString(Longest, u'字') + u"x\n短い"_s;
    QTest::newRow("too long") << longFirst << QList<int>{} << QList<int>{1};
    QTest::newRow("from too long to short") << longFirst << QList<int>{1} << QList<int>{1};
    const QString longestFirst = QString(Longest - 1, u'字') + u"\n短い"_s;
    QTest::newRow("longest kept") << longestFirst << QList<int>{} << QList<int>{0, 1};
}

void TestCurrentParagraphCache::keepsOnlyTheCursorsParagraph()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, moves);
    QFETCH(QList<int>, expected);

    QPlainTextEdit box;
    new CurrentParagraphCache(&box);
    box.setPlainText(text);
    for (int number : moves)
        moveToParagraph(box, number);
    QCOMPARE(cachedParagraphs(box), expected);
}

void TestCurrentParagraphCache::typingKeepsTheParagraph()
{
    QPlainTextEdit box;
    new CurrentParagraphCache(&box);
    box.setPlainText(u"一行目\n二行目\n三行目"_s);
    moveToParagraph(box, 1);
    QTest::keyClicks(&box, u"abc"_s);
    QTest::keyClick(&box, Qt::Key_Return);
    // The new line holds the cursor; the first line is let go.
    QCOMPARE(cachedParagraphs(box), (QList<int>{1, 2, 3}));
    QCOMPARE(box.document()->findBlockByNumber(1).text(), u"abc"_s);
    QTest::keyClick(&box, Qt::Key_Backspace);
    QCOMPARE(cachedParagraphs(box), (QList<int>{0, 1, 2}));
    QCOMPARE(box.toPlainText(), u"一行目\nabc二行目\n三行目"_s);
}

void TestCurrentParagraphCache::newTextStartsAtItsFirstParagraph()
{
    QPlainTextEdit box;
    new CurrentParagraphCache(&box);
    box.setPlainText(u"一\n二\n三\n四"_s);
    moveToParagraph(box, 3);
    box.setPlainText(u"五\n六\n七"_s);
    QCOMPARE(cachedParagraphs(box), (QList<int>{0, 1}));
}

QTEST_MAIN(TestCurrentParagraphCache)
#include "tst_currentparagraphcache.moc"
