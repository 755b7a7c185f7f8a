#include "file/readahead.h"
#include "mainwindow/dialogquestions.h"
#include "mainwindow/form1.h"
#include "mainwindow/interfacestyle.h"
#include "mainwindow/japanesetranslation.h"
#include "resources/japanesefont.h"
#include "sorveka_version.h"

#include <QApplication>
#include <QDir>

#include <csignal>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Past a file-size limit (ulimit -f) a write must fail with EFBIG and be
    // reported like a full disk, not kill the process with what was typed.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication::setStyle(new InterfaceStyle);
    QApplication::setApplicationName(QStringLiteral("Sorveka"));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.sorveka.Sorveka"));
    QApplication::setApplicationVersion(sorvekaVersion());

    // The program speaks Japanese whatever the locale, Qt's own buttons too.
    installJapaneseTranslation(app);
    // The menus and the tree show Japanese too; drawn like the boxes, their
    // glyphs also skip the slower light hinting (about 2 ms of starting).
    QApplication::setFont(gridFitted(QApplication::font()));

    const QString startFolder = QDir::currentPath();
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();

    // The outline is read on another thread while the window is built.
    OutlineReadAhead readAhead(Form1::startupFile(arguments, startFolder));

    DialogQuestions questions;
    Form1 window(questions);
    questions.setParentWidget(&window);
    window.Form_Load(arguments, startFolder, &readAhead);
    window.show();
    return QApplication::exec();
}
