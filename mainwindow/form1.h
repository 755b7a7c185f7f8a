#pragma once

#include "about/about.h"
#include "document/document.h"
#include "mainwindow/editorsurface.h"
#include "mainwindow/filecommands.h"

#include <QMainWindow>
#include <QPointer>

class BodyBoxFiller;
class CompositionKeeper;
struct MenuDefinition;
class OutlineModel;
class OutlineReadAhead;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QTimer;
class QToolBar;
class QTreeView;

// The main window: the tree on the left, the selected category's title and
// body on the right. Handlers are thin: they call into the document and the
// file commands and keep the boxes and the view in step.
class Form1 : public QMainWindow, private EditorSurface
{
    Q_OBJECT
public:
    // `questions` answers every modal question; the window does not own it.
    explicit Form1(Questions &questions, QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up: the arguments joined by blanks name one file, resolved against
    // `startFolder`, the folder the program was started from. The file may
    // already be reading in `readAhead`.
    void Form_Load(const QStringList &arguments, const QString &startFolder,
                   OutlineReadAhead *readAhead = nullptr);
    // The file Form_Load reads for these arguments; empty when there is none.
    static QString startupFile(const QStringList &arguments, const QString &startFolder);

    Document &document() { return m_document; }
    FileCommands &fileCommands() { return m_fileCommands; }
    QMenu *treeRightClick() const { return m_treeRightClick; }
    // The open About box, if any.
    About *about() const { return m_about; }

    void Toolbar1_ButtonClick(const QString &key);
    void NewOutline();
    // The menu and popup commands.
    void mOpen_Click();
    void mSave_Click();
    void mCreate_Click();
    void mCheck_Click();
    void mDelete_Click();
    void CreateNextLevel_Click();
    void CreateThisLevel_Click();
    void mAbout_Click();
    void Tt_NodeClick(Category *node);
    void Tt_MouseDown(Qt::MouseButton button);
    void Tt_DblClick();

    // The design geometry, in twips, converted at the screen's scale.
    static constexpr int DesignClientWidth = 9405;
    static constexpr int DesignClientHeight = 4935;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void commitComposition() override;
    void writeBackEdit() override;
    void showEditedCategory() override;
    void setCaption(const QString &caption) override;

    void createControls();
    void createMenus();
    void createToolbar();
    void connectView();
    void addCommands(QMenu *menu, const MenuDefinition &definition);

    void Form_Resize();
    void ResetOutline();
    void fillBoxes(const QString &title, const QString &body);
    void markEdited();
    void keepTitleOneLine(const QString &text);
    void Tt_Expand(Category *node);
    void Tt_Collapse(Category *node);
    void applyExpansions();
    void fitTreeColumn();
    int twips(int value) const;

    Document m_document;
    Questions &m_questions;
    FileCommands m_fileCommands;
    OutlineModel *m_model = nullptr;

    QWidget *m_client = nullptr;
    QToolBar *m_toolbar = nullptr;
    QTreeView *m_tree = nullptr;
    QLineEdit *m_title = nullptr;
    QPlainTextEdit *m_body = nullptr;
    BodyBoxFiller *m_bodyFiller = nullptr;
    CompositionKeeper *m_composition = nullptr;
    QMenu *m_treeRightClick = nullptr;
    QTimer *m_fitColumn = nullptr;
    QPointer<About> m_about;

    double m_scale = 1.0;
    bool m_iconSet = false;
    // Set while the window itself fills the boxes, so that is not typing.
    bool m_fillingBoxes = false;
    // The body box was changed since it was filled or written back.
    bool m_bodyEdited = false;
    // Set while the core changes the tree, so the view's own reactions (its
    // current row moving as rows go) are not taken for the user's clicks.
    bool m_coreChanging = false;
};
