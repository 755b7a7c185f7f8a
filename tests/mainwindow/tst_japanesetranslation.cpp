// Qt draws some texts itself: the buttons of message boxes and the labels
// and buttons of its file dialogs. The program loads Qt's Japanese
// translation for them whatever the locale; this test runs with LANG=C and
// LC_ALL=C, where Qt on its own would show English.

#include "mainwindow/japanesetranslation.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace {

// "はい(&Y)" and "ファイル名(&N):" carry a Latin mnemonic in brackets, as
// Japanese programs do; "&Yes" marks it in the word. Both become the text a
// user reads.
QString withoutAccelerator(const QString &text)
{
    static const QRegularExpression bracketed(u"\\(&[^&)]\\)"_s);
    QString plain = text;
    plain.remove(bracketed);
    plain.replace(u"&&"_s, u"\x01"_s);
    plain.remove(u'&');
    plain.replace(u'\x01', u'&');
    return plain;
}

QString messageBoxButtonText(QMessageBox::StandardButtons buttons,
                             QMessageBox::StandardButton which)
{
    QMessageBox box(QMessageBox::Question, u"新規"_s, u"本文"_s, buttons);
    QAbstractButton *button = box.button(which);
    return button ? button->text() : u"<no button>"_s;
}

// The program's dialogs are Qt's own, never the desktop's.
QString fileDialogText(QFileDialog::AcceptMode mode, const QString &part)
{
    QTemporaryDir dir;
    QFileDialog dialog(nullptr, QString(), dir.path(), u"Sorveka (*.svk)"_s);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    // A name that is not a folder, or the Save button reads "Open".
    dialog.selectFile(dir.filePath(u"新しい.svk"_s));

    auto *buttonBox = dialog.findChild<QDialogButtonBox *>(u"buttonBox"_s);
    if (!buttonBox)
        return u"<no button box>"_s;
    if (part == u"accept") {
        QPushButton *button = buttonBox->button(
                mode == QFileDialog::AcceptOpen ? QDialogButtonBox::Open : QDialogButtonBox::Save);
        return button ? button->text() : u"<no accept button>"_s;
    }
    if (part == u"cancel") {
        QPushButton *button = buttonBox->button(QDialogButtonBox::Cancel);
        return button ? button->text() : u"<no cancel button>"_s;
    }
    auto *label = dialog.findChild<QLabel *>(part);
    return label ? label->text() : u"<no label "_s + part + u'>';
}

enum class Source { YesNoBox, OkBox, OkCancelBox, SaveDialog, OpenDialog };

QString textOf(Source source, const QString &part)
{
    switch (source) {
    case Source::YesNoBox:
        return messageBoxButtonText(QMessageBox::Yes | QMessageBox::No,
                                    part == u"yes" ? QMessageBox::Yes : QMessageBox::No);
    case Source::OkBox: return messageBoxButtonText(QMessageBox::Ok, QMessageBox::Ok);
    case Source::OkCancelBox:
        return messageBoxButtonText(QMessageBox::Ok | QMessageBox::Cancel,
                                    part == u"ok" ? QMessageBox::Ok : QMessageBox::Cancel);
    case Source::SaveDialog: return fileDialogText(QFileDialog::AcceptSave, part);
    case Source::OpenDialog: return fileDialogText(QFileDialog::AcceptOpen, part);
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Source)

class TestJapaneseTranslation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void accelerators_data();
    void accelerators();
    void qtTexts_data();
    void qtTexts();
    void translatorBelongsToTheApplication();

private:
    QString m_englishYes;
};

void TestJapaneseTranslation::initTestCase()
{
    QCOMPARE(qgetenv("LC_ALL"), QByteArray("C"));
    const QString qm = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + u"/qtbase_ja.qm";
    if (!QFileInfo::exists(qm))
        QSKIP(qPrintable(qm + u" is missing: install qt6-translations-l10n"_s));

    // Before: the C locale alone leaves Qt in English, so what follows
    // proves the translation, not the machine's settings.
    m_englishYes = textOf(Source::YesNoBox, u"yes"_s);
    QCOMPARE(m_englishYes, u"&Yes"_s);

    QVERIFY(installJapaneseTranslation(*qApp));
}

void TestJapaneseTranslation::accelerators_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("plain");

    QTest::newRow("bracketed at the end") << u"はい(&Y)"_s << u"はい"_s;
    QTest::newRow("bracketed before a colon") << u"ファイル名(&N):"_s << u"ファイル名:"_s;
    QTest::newRow("in the word") << u"&Yes"_s << u"Yes"_s;
    QTest::newRow("escaped ampersand stays") << u"Q&&A"_s << u"Q&A"_s;
    QTest::newRow("no accelerator") << u"キャンセル"_s << u"キャンセル"_s;
    QTest::newRow("brackets without one stay") << u"保存(S)"_s << u"保存(S)"_s;
}

void TestJapaneseTranslation::accelerators()
{
    QFETCH(QString, text);
    QFETCH(QString, plain);
    QCOMPARE(withoutAccelerator(text), plain);
}

void TestJapaneseTranslation::qtTexts_data()
{
    QTest::addColumn<Source>("source");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("japanese");
    // The key a user presses with Alt; empty where Qt gives none.
    QTest::addColumn<QString>("mnemonic");

    QTest::newRow("message box Yes") << Source::YesNoBox << u"yes"_s << u"はい"_s << u"Y"_s;
    QTest::newRow("message box No") << Source::YesNoBox << u"no"_s << u"いいえ"_s << u"N"_s;
    // Japanese Qt keeps the Latin "OK", without a mnemonic.
    QTest::newRow("message box OK") << Source::OkBox << u"ok"_s << u"OK"_s << QString();
    QTest::newRow("message box Cancel")
            << Source::OkCancelBox << u"cancel"_s << u"キャンセル"_s << QString();
    QTest::newRow("save dialog Save") << Source::SaveDialog << u"accept"_s << u"保存"_s << u"S"_s;
    QTest::newRow("save dialog Cancel")
            << Source::SaveDialog << u"cancel"_s << u"キャンセル"_s << QString();
    QTest::newRow("save dialog file name")
            << Source::SaveDialog << u"fileNameLabel"_s << u"ファイル名:"_s << u"N"_s;
    QTest::newRow("save dialog file type")
            << Source::SaveDialog << u"fileTypeLabel"_s << u"ファイルの種類:"_s << QString();
    QTest::newRow("save dialog folder")
            << Source::SaveDialog << u"lookInLabel"_s << u"アドレス:"_s << QString();
    QTest::newRow("open dialog Open") << Source::OpenDialog << u"accept"_s << u"開く"_s << u"O"_s;
    QTest::newRow("open dialog Cancel")
            << Source::OpenDialog << u"cancel"_s << u"キャンセル"_s << QString();
}

void TestJapaneseTranslation::qtTexts()
{
    QFETCH(Source, source);
    QFETCH(QString, part);
    QFETCH(QString, japanese);
    QFETCH(QString, mnemonic);

    const QString text = textOf(source, part);
    QCOMPARE(withoutAccelerator(text), japanese);
    const QKeySequence key = QKeySequence::mnemonic(text);
    QCOMPARE(key.isEmpty() ? QString() : QKeySequence(key[0].key()).toString(), mnemonic);
}

// A translator on the stack of the set-up function would be gone by the
// time the first dialog opens; the texts above would then be English.
void TestJapaneseTranslation::translatorBelongsToTheApplication()
{
    const QList<QTranslator *> translators =
            qApp->findChildren<QTranslator *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(translators.size(), 1);
    QVERIFY(!translators.constFirst()->isEmpty());
    QCOMPARE(translators.constFirst()->language(), u"ja"_s);
    QVERIFY(textOf(Source::YesNoBox, u"yes"_s) != m_englishYes);
}

QTEST_MAIN(TestJapaneseTranslation)
#include "tst_japanesetranslation.moc"
