#include "about/about.h"
#include "sorveka_version.h"

#include <QAccessible>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

struct Positions
{
    double version;
    double description;
    double title;
    bool operator==(const Positions &) const = default;
};

Positions positionsOf(const About &box)
{
    return {box.versionLeft(), box.descriptionLeft(), box.titleTop()};
}

template<typename T> T *child(const About &box, const char *name)
{
    T *widget = box.findChild<T *>(QLatin1StringView(name));
    if (!widget)
        qWarning("no child %s", name);
    return widget;
}

// Headless test windows cannot be raised; that warning says nothing about the box.
QtMessageHandler previousHandler = nullptr;

void dropRaiseWarning(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message == u"This plugin does not support raise()"_s)
        return;
    previousHandler(type, context, message);
}

int ticksToCover(double distance, double step)
{
    return int(std::ceil(distance / step));
}

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void captions_data();
    void captions();
    void fileName_data();
    void fileName();
    void windowIsFixedAndDecorated();
    void loadsOnlyWhenShown();
    void startsOffScreen();
    void animationPlaysPhasesInOrder();
    void otherStepValuesDoNothing_data();
    void otherStepValuesDoNothing();
    void okHidesAndForgetsTheBox_data();
    void okHidesAndForgetsTheBox();
    void reopeningAfterOkRestartsTheAnimation();
    void showingAgainWhileOpenDoesNotRestart_data();
    void showingAgainWhileOpenDoesNotRestart();
    void closeButtonKeepsTheBoxAndReloadsOnShow();

private:
    About *openBox(const QString &fileTitle = u"plan.svk"_s);
    QList<QPointer<About>> m_boxes;
};

About *TestAbout::openBox(const QString &fileTitle)
{
    auto *box = new About([fileTitle] { return fileTitle; });
    m_boxes.append(box);
    box->present();
    return box;
}

void TestAbout::initTestCase()
{
    previousHandler = qInstallMessageHandler(dropRaiseWarning);
}

void TestAbout::cleanup()
{
    for (const QPointer<About> &box : std::as_const(m_boxes))
        delete box.data();
    m_boxes.clear();
}

void TestAbout::captions_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("expected");
    QTest::newRow("program name") << u"lblTitle"_s << u"Sorveka♪"_s;
    QTest::newRow("version from the build") << u"lblVersion"_s << u"Version "_s + sorvekaVersion();
    QTest::newRow("button") << u"Command1"_s << u"OK"_s;
}

void TestAbout::captions()
{
    QFETCH(QString, objectName);
    QFETCH(QString, expected);
    About *box = openBox();
    QCOMPARE(box->windowTitle(), u"ﾊﾞｰｼﾞｮﾝ & 編集中ﾌｧｲﾙ名"_s);
    if (auto *label = box->findChild<QLabel *>(objectName))
        QCOMPARE(label->text(), expected);
    else if (auto *button = box->findChild<QPushButton *>(objectName))
        QCOMPARE(button->text(), expected);
    else
        QFAIL("no such control");
}

void TestAbout::fileName_data()
{
    QTest::addColumn<QString>("fileTitle");
    QTest::newRow("plain name") << u"plan.svk"_s;
    QTest::newRow("no file yet") << QString();
    QTest::newRow("japanese name") << u"買い物メモ.svk"_s;
    QTest::newRow("name with spaces") << u"my notes 2.svk"_s;
    QTest::newRow("name like an underline tag") << u"<u>plan.svk"_s;
    QTest::newRow("name like a rule tag") << u"<hr>.svk"_s;
}

void TestAbout::fileName()
{
    QFETCH(QString, fileTitle);
    About *box = openBox(fileTitle);
    auto *label = child<QLabel>(*box, "FnameP");
    QVERIFY(label);
    QCOMPARE(label->text(), fileTitle);
    // Shown, and read out, as it is: a name is never taken for markup.
    QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), fileTitle);
    // Even empty, the box shows as a pink strip.
    QVERIFY(label->autoFillBackground());
    QCOMPARE(label->palette().color(QPalette::Window), QColor(255, 128, 255));
    QVERIFY(label->isVisible());
    QCOMPARE(label->width(), qRound(2655 / box->twipsPerPixel()));

    // The notice is one line of the maker's rights.
    const QString notice = child<QLabel>(*box, "lblDescription")->text();
    QVERIFY(notice.contains(u'©'));
    QVERIFY(!notice.contains(u'\n'));
}

void TestAbout::windowIsFixedAndDecorated()
{
    About *box = openBox();
    if (box->logicalDpiX() > 96)
        QSKIP("sizes below are for a 96 dpi screen");
    QCOMPARE(box->twipsPerPixel(), 15.0);
    QCOMPARE(box->size(), QSize(210, 182));
    QCOMPARE(box->minimumSize(), box->maximumSize());

    const Qt::WindowFlags flags = box->windowFlags();
    QVERIFY(box->isWindow());
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!box->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(!box->isModal());
    QVERIFY(!box->windowIcon().isNull());
    QCOMPARE(box->palette().color(QPalette::Window), QColor(192, 192, 255));

    auto *picture = child<QLabel>(*box, "Picture1");
    QCOMPARE(picture->pos(), QPoint(16, 16));
    QCOMPARE(picture->pixmap().deviceIndependentSize(), QSizeF(32, 32));

    auto *title = child<QLabel>(*box, "lblTitle");
    QCOMPARE(title->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(title->font().weight(), QFont::Bold);
    QCOMPARE(title->font().pointSizeF(), 15.75);
    QCOMPARE(title->size(), QSize(103, 21));
    QCOMPARE(title->x(), 80);

    // Drawn from x 240 to 2880 twips inclusive at 1680.
    auto *line = child<QFrame>(*box, "Line1");
    QCOMPARE(line->geometry(), QRect(16, 112, 177, 1));
    QCOMPARE(line->palette().color(QPalette::Window), QColor(128, 128, 128));

    auto *ok = child<QPushButton>(*box, "Command1");
    QCOMPARE(ok->geometry(), QRect(128, 144, 65, 25));
    QVERIFY(!ok->isDefault());

    QCOMPARE(child<QTimer>(*box, "Timer1")->interval(), 20);
}

void TestAbout::loadsOnlyWhenShown()
{
    auto *box = new About([] { return u"plan.svk"_s; });
    m_boxes.append(box);
    auto *timer = child<QTimer>(*box, "Timer1");
    QVERIFY(!box->isLoaded());
    QVERIFY(!timer->isActive());
    QVERIFY(child<QLabel>(*box, "FnameP")->text().isEmpty());

    About::AnimationStep = 2;
    box->show();
    QVERIFY(box->isLoaded());
    QVERIFY(timer->isActive());
    QCOMPARE(About::AnimationStep, qint16(0));
    QCOMPARE(child<QLabel>(*box, "FnameP")->text(), u"plan.svk"_s);
}

void TestAbout::startsOffScreen()
{
    About *box = openBox();
    const double tpp = box->twipsPerPixel();
    auto *version = child<QLabel>(*box, "lblVersion");
    auto *description = child<QLabel>(*box, "lblDescription");
    auto *title = child<QLabel>(*box, "lblTitle");

    // Sized to their text, not left at their design widths.
    QCOMPARE(version->size(), version->sizeHint());
    QCOMPARE(description->size(), description->sizeHint());

    QCOMPARE(box->versionLeft(), -version->width() * tpp);
    QCOMPARE(version->x() + version->width(), 0);

    QVERIFY(box->descriptionLeft() >= box->width() * tpp);
    QCOMPARE(box->descriptionLeft(), box->frameGeometry().width() * tpp);
    QVERIFY(description->x() >= box->width());

    QCOMPARE(box->titleTop(), -title->height() * tpp);
    QCOMPARE(title->y() + title->height(), 0);
}

void TestAbout::animationPlaysPhasesInOrder()
{
    About *box = openBox();
    const double tpp = box->twipsPerPixel();
    auto *version = child<QLabel>(*box, "lblVersion");
    auto *description = child<QLabel>(*box, "lblDescription");
    auto *title = child<QLabel>(*box, "lblTitle");
    auto *timer = child<QTimer>(*box, "Timer1");
    const Positions start = positionsOf(*box);

    // Geometry always shows the twip position rounded to pixels.
    auto drawnWhereHeld = [&] {
        return version->x() == qRound(box->versionLeft() / tpp)
                && description->x() == qRound(box->descriptionLeft() / tpp)
                && title->y() == qRound(box->titleTop() / tpp);
    };

    int ticks = 0;
    while (About::AnimationStep == 0 && ticks < 1000) {
        box->tick();
        ++ticks;
        QVERIFY(drawnWhereHeld());
        QCOMPARE(box->descriptionLeft(), start.description);
        QCOMPARE(box->titleTop(), start.title);
        if (About::AnimationStep == 0)
            QCOMPARE(box->versionLeft(), start.version + 60 * ticks);
    }
    QCOMPARE(ticks, ticksToCover(240 - start.version, 60));
    QCOMPARE(box->versionLeft(), 240.0);
    QCOMPARE(About::AnimationStep, qint16(1));

    ticks = 0;
    while (About::AnimationStep == 1 && ticks < 1000) {
        box->tick();
        ++ticks;
        QVERIFY(drawnWhereHeld());
        QCOMPARE(box->versionLeft(), 240.0);
        QCOMPARE(box->titleTop(), start.title);
    }
    QCOMPARE(ticks, ticksToCover(start.description - 240, 60));
    QCOMPARE(box->descriptionLeft(), 240.0);
    QCOMPARE(About::AnimationStep, qint16(2));

    ticks = 0;
    while (About::AnimationStep == 2 && ticks < 1000) {
        box->tick();
        ++ticks;
        QVERIFY(drawnWhereHeld());
        QCOMPARE(box->versionLeft(), 240.0);
        QCOMPARE(box->descriptionLeft(), 240.0);
    }
    const double titleHeight = title->height() * tpp;
    QCOMPARE(ticks, ticksToCover(360 + titleHeight, 4));
    if (tpp == 15.0)
        QCOMPARE(ticks, 169); // the design height of 315 twips
    QCOMPARE(box->titleTop(), 360.0);
    QCOMPARE(About::AnimationStep, qint16(3));
    QVERIFY(timer->isActive());

    box->tick();
    QCOMPARE(About::AnimationStep, qint16(0));
    QVERIFY(!timer->isActive());
    QCOMPARE(positionsOf(*box), (Positions{240, 240, 360}));
    QCOMPARE(version->pos(), QPoint(qRound(240 / tpp), qRound(960 / tpp)));
    QCOMPARE(description->pos(), QPoint(qRound(240 / tpp), qRound(1320 / tpp)));
    QCOMPARE(title->pos(), QPoint(qRound(1200 / tpp), qRound(360 / tpp)));
}

void TestAbout::otherStepValuesDoNothing_data()
{
    QTest::addColumn<int>("step");
    QTest::newRow("negative") << -1;
    QTest::newRow("just past the end") << 4;
    QTest::newRow("largest") << 32767;
    QTest::newRow("smallest") << -32768;
}

void TestAbout::otherStepValuesDoNothing()
{
    QFETCH(int, step);
    About *box = openBox();
    const Positions before = positionsOf(*box);
    About::AnimationStep = qint16(step);
    box->tick();
    QCOMPARE(positionsOf(*box), before);
    QCOMPARE(About::AnimationStep, qint16(step));
    QVERIFY(child<QTimer>(*box, "Timer1")->isActive());
}

void TestAbout::okHidesAndForgetsTheBox_data()
{
    QTest::addColumn<int>("key"); // 0: a mouse click
    QTest::newRow("clicked") << 0;
    QTest::newRow("Space on the focused button") << int(Qt::Key_Space);
    QTest::newRow("Enter on the focused button") << int(Qt::Key_Enter);
    QTest::newRow("Return on the focused button") << int(Qt::Key_Return);
}

void TestAbout::okHidesAndForgetsTheBox()
{
    QFETCH(int, key);
    QPointer<About> box = openBox();
    QSignalSpy closed(box.data(), &About::closedByOk);
    box->tick();
    auto *timer = child<QTimer>(*box, "Timer1");

    auto *ok = child<QPushButton>(*box, "Command1");
    if (key == 0) {
        QTest::mouseClick(ok, Qt::LeftButton);
    } else {
        // The only control that takes the focus has it.
        QVERIFY(QTest::qWaitForWindowActive(box));
        QCOMPARE(QApplication::focusWidget(), ok);
        QTest::keyClick(ok, Qt::Key(key));
    }
    QCOMPARE(closed.count(), 1);
    QVERIFY(!box->isVisible());
    QVERIFY(!timer->isActive());

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(box.isNull());
}

void TestAbout::reopeningAfterOkRestartsTheAnimation()
{
    QPointer<About> first = openBox();
    while (About::AnimationStep == 0)
        first->tick();
    first->tick();
    QCOMPARE(About::AnimationStep, qint16(1));
    child<QPushButton>(*first, "Command1")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());

    About *second = openBox(u"other.svk"_s);
    QCOMPARE(About::AnimationStep, qint16(0));
    QVERIFY(second->versionLeft() < 0);
    QVERIFY(second->titleTop() < 0);
    QVERIFY(child<QTimer>(*second, "Timer1")->isActive());
    QCOMPARE(child<QLabel>(*second, "FnameP")->text(), u"other.svk"_s);
}

void TestAbout::showingAgainWhileOpenDoesNotRestart_data()
{
    QTest::addColumn<bool>("minimised");
    QTest::newRow("on screen") << false;
    QTest::newRow("minimised, and restored") << true;
}

void TestAbout::showingAgainWhileOpenDoesNotRestart()
{
    QFETCH(bool, minimised);
    About *box = openBox();
    while (About::AnimationStep == 0)
        box->tick();
    box->tick();
    const Positions midway = positionsOf(*box);
    if (minimised) {
        box->showMinimized();
        QVERIFY(box->isMinimized());
    }

    box->present();
    QVERIFY(!box->isMinimized());
    QVERIFY(box->isVisible());
    box->show();
    QCOMPARE(positionsOf(*box), midway);
    QCOMPARE(About::AnimationStep, qint16(1));
    QVERIFY(child<QTimer>(*box, "Timer1")->isActive());
}

void TestAbout::closeButtonKeepsTheBoxAndReloadsOnShow()
{
    QPointer<About> box = openBox();
    while (About::AnimationStep < 2)
        box->tick();
    auto *timer = child<QTimer>(*box, "Timer1");

    QVERIFY(box->close());
    QVERIFY(!timer->isActive());
    QVERIFY(!box->isLoaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!box.isNull());

    box->present();
    QCOMPARE(About::AnimationStep, qint16(0));
    QVERIFY(timer->isActive());
    QCOMPARE(box->versionLeft(),
             -child<QLabel>(*box, "lblVersion")->width() * box->twipsPerPixel());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
