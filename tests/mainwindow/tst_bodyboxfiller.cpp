// A large body reaches the box whole and in order, however the user
// interrupts the filling.
#include "mainwindow/bodyboxfiller.h"

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype First = BodyBoxFiller::FirstSlice;
constexpr qsizetype Later = BodyBoxFiller::LaterSlice;

// Numbered lines of `lineLength` characters (LF ends) up to `size` characters.
QString linesOf(qsizetype size, int lineLength)
{
    QString text;
    text.reserve(size);
    for (int line = 0; text.size() < size; ++line) {
        QString next = QString::number(line).rightJustified(lineLength - 1, u'あ') + u'\n';
        text += next;
    }
    text.truncate(size);
    return text;
}

// Characters outside the basic plane at every position a slice could end,
// their pairs starting at odd positions.
QString surrogatesOnly(qsizetype pairs)
{
    QString text(1, u'a');
    text.reserve(pairs * 2 + 1);
    for (qsizetype i = 0; i < pairs; ++i)
        text += QChar::fromUcs4(0x20000 + char32_t(i % 5000));
    return text;
}

void waitUntilFilled(const BodyBoxFiller &filler)
{
    QTRY_VERIFY_WITH_TIMEOUT(!filler.isFilling(), 20000);
}

} // namespace

class TestBodyBoxFiller : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void endsWithTheWholeText_data();
    void endsWithTheWholeText();
    void showsTheBeginningAtOnce();
    void editingFinishesFirst_data();
    void editingFinishesFirst();
    void newTextDropsTheRestOfTheOld();
    void laterSlicesAreNotEdits();
    void typingCanBeUndoneAfterwards();

private:
    std::unique_ptr<QPlainTextEdit> m_box;
    std::unique_ptr<BodyBoxFiller> m_filler;
};

void TestBodyBoxFiller::init()
{
    m_box = std::make_unique<QPlainTextEdit>();
    m_box->resize(400, 300);
    m_box->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
    m_filler = std::make_unique<BodyBoxFiller>(m_box.get());
}

void TestBodyBoxFiller::cleanup()
{
    m_filler.reset();
    m_box.reset();
}

void TestBodyBoxFiller::endsWithTheWholeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("one line") << u"一行だけ"_s;
    QTest::newRow("exactly the first slice") << linesOf(First, 80);
    QTest::newRow("one character more") << linesOf(First + 1, 80);
    QTest::newRow("several slices of short lines") << linesOf(3 * Later + 17, 40);
    QTest::newRow("lines longer than a slice") << linesOf(3 * Later, int(Later) + 333);
    QTest::newRow("no line end at all") << QString(2 * Later + 5, u'x');
    QTest::newRow("pairs across every boundary") << surrogatesOnly(Later + 7);
    QTest::newRow("ends with a line end") << linesOf(2 * Later, 50) + u'\n';
}

void TestBodyBoxFiller::endsWithTheWholeText()
{
    QFETCH(QString, text);
    m_filler->fill(text);
    waitUntilFilled(*m_filler);
    QCOMPARE(m_box->toPlainText(), text);
}

void TestBodyBoxFiller::showsTheBeginningAtOnce()
{
    const QString text = linesOf(4 * Later, 60);
    m_filler->fill(text);
    QVERIFY(m_filler->isFilling());
    const QString shown = m_box->toPlainText();
    QVERIFY(shown.size() >= First);
    QVERIFY(shown.size() < text.size());
    QVERIFY(text.startsWith(shown));
    m_filler->finish();
    QVERIFY(!m_filler->isFilling());
    QCOMPARE(m_box->toPlainText(), text);
}

void TestBodyBoxFiller::editingFinishesFirst_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("key at the end") << 0;
    QTest::newRow("input-method text at the end") << 1;
}

void TestBodyBoxFiller::editingFinishesFirst()
{
    QFETCH(int, how);
    const QString text = linesOf(4 * Later, 60);
    m_filler->fill(text);
    QVERIFY(m_filler->isFilling());
    m_box->setFocus();
    // Ctrl+End on a box still filling goes to the end of the whole text.
    QTest::keyClick(m_box.get(), Qt::Key_End, Qt::ControlModifier);
    if (how == 0) {
        QTest::keyClick(m_box.get(), Qt::Key_Z);
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(u"漢"_s);
        QCoreApplication::sendEvent(m_box.get(), &commit);
    }
    QVERIFY(!m_filler->isFilling());
    QCOMPARE(m_box->toPlainText(), text + (how == 0 ? u"z"_s : u"漢"_s));
}

void TestBodyBoxFiller::newTextDropsTheRestOfTheOld()
{
    m_filler->fill(linesOf(4 * Later, 60));
    QVERIFY(m_filler->isFilling());
    m_filler->fill(u"短い"_s);
    QVERIFY(!m_filler->isFilling());
    // A slice of the old text would come from a timer started before this
    // one, so it would be appended by the time this one fires.
    bool later = false;
    QTimer::singleShot(0, m_box.get(), [&later] { later = true; });
    QTRY_VERIFY(later);
    QCOMPARE(m_box->toPlainText(), u"短い"_s);
}

void TestBodyBoxFiller::laterSlicesAreNotEdits()
{
    QSignalSpy changes(m_box.get(), &QPlainTextEdit::textChanged);
    m_filler->fill(linesOf(4 * Later, 60));
    const int afterFirst = int(changes.count());
    waitUntilFilled(*m_filler);
    QCOMPARE(changes.count(), afterFirst);
}

void TestBodyBoxFiller::typingCanBeUndoneAfterwards()
{
    const QString text = linesOf(2 * Later, 60);
    m_filler->fill(text);
    m_box->setFocus();
    QTest::keyClick(m_box.get(), Qt::Key_Q);
    QCOMPARE(m_box->toPlainText(), u"q"_s + text);
    m_box->undo();
    QCOMPARE(m_box->toPlainText(), text);
    // The slices themselves are no steps to undo.
    QVERIFY(!m_box->document()->isUndoAvailable());
}

QTEST_MAIN(TestBodyBoxFiller)
#include "tst_bodyboxfiller.moc"
