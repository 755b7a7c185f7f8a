#include "mainwindow/form1.h"

#include "document/categorycommands.h"
#include "document/checkmarks.h"
#include "document/icons.h"
#include "document/lineends.h"
#include "file/filestamp.h"
#include "file/filetitle.h"
#include "file/readahead.h"
#include "mainwindow/bodyboxfiller.h"
#include "mainwindow/commandtables.h"
#include "mainwindow/compositionkeeper.h"
#include "mainwindow/currentparagraphcache.h"
#include "mainwindow/outlinemodel.h"
#include "mainwindow/outlinetreeview.h"
#include "mainwindow/questions.h"
#include "resources/japanesefont.h"
#include "resources/pictures.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include <limits>
#include <span>

namespace {

const QString Caption = QStringLiteral("Sorveka");
constexpr double TwipsPerPixel = 15.0;

} // namespace

Form1::Form1(Questions &questions, QWidget *parent)
    : QMainWindow(parent), m_questions(questions), m_fileCommands(m_document, *this, questions)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Caption);
    if (const QScreen *screen = this->screen())
        m_scale = std::max(1.0, screen->logicalDotsPerInch() / 96.0);

    m_model = new OutlineModel(m_document.outline, this);
    createControls();
    createMenus();
    createToolbar();
    connectView();
    m_client->installEventFilter(this);

    setTabOrder(m_tree, m_body);
    setTabOrder(m_body, m_title);
    setTabOrder(m_title, m_toolbar);
    resize(twips(DesignClientWidth), twips(DesignClientHeight) + menuBar()->sizeHint().height());
}

Form1::~Form1()
{
    // The model leaves before the document it observes.
    delete m_model;
    m_model = nullptr;
}

int Form1::twips(int value) const
{
    return int(std::lround(value / TwipsPerPixel * m_scale));
}

void Form1::createControls()
{
    // The client area: the controls sit at their design positions and
    // Form_Resize moves them, as the layout rules say.
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);

    m_tree = new OutlineTreeView(m_client);
    m_tree->setObjectName(QStringLiteral("Tt"));
    m_tree->setModel(m_model);
    m_tree->setHeaderHidden(true);
    // Each level moves a category further right, so a column as wide as the
    // view would cut off everything below the tenth level: fitTreeColumn
    // widens it to what the rows show and the view scrolls sideways.
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setResizeContentsPrecision(-1);
    m_tree->setIconSize(QSize(16, 16));
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setUniformRowHeights(true);
    m_tree->viewport()->installEventFilter(this);
    m_tree->setGeometry(twips(120), twips(360), twips(3615), twips(4455));

    const QFont boxFont = japaneseGothicFont(11.25);
    m_title = new QLineEdit(m_client);
    m_title->setObjectName(QStringLiteral("txtTitle"));
    m_title->setAccessibleName(QStringLiteral("タイトル"));
    m_title->setFont(boxFont);
    // A line edit cuts text at 32767 characters by default; a longer title
    // from a file would be shortened by the next write-back.
    m_title->setMaxLength(std::numeric_limits<int>::max());
    m_title->setGeometry(twips(3840), twips(360), twips(5415), twips(375));
    m_title->installEventFilter(this);

    m_body = new QPlainTextEdit(m_client);
    m_body->setObjectName(QStringLiteral("txtEdit"));
    m_body->setAccessibleName(QStringLiteral("本文"));
    m_body->setFont(boxFont);
    m_body->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_body->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_body->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next control, as the tab order promises.
    m_body->setTabChangesFocus(true);
    m_body->setGeometry(twips(3840), twips(840), twips(5415), twips(3975));
    m_body->installEventFilter(this);
    m_bodyFiller = new BodyBoxFiller(m_body, this);
    new CurrentParagraphCache(m_body);

    // Every change the user makes counts as typing: keys, but also pasting,
    // dropping and input-method text, which come without a key press; text
    // still being composed counts from its first key, although the line edit
    // reports no change for it.
    connect(m_title, &QLineEdit::textChanged, this, [this] {
        if (!m_fillingBoxes)
            markEdited();
    });
    connect(m_body, &QPlainTextEdit::textChanged, this, [this] {
        if (m_fillingBoxes)
            return;
        m_bodyEdited = true;
        markEdited();
    });
    connect(m_title, &QLineEdit::textEdited, this, &Form1::keepTitleOneLine);
    m_composition = new CompositionKeeper(m_title, m_body, this);
    connect(m_composition, &CompositionKeeper::composed, this, [this] {
        if (!m_fillingBoxes)
            markEdited();
    });
}

void Form1::addCommands(QMenu *menu, const MenuDefinition &definition)
{
    menu->setObjectName(definition.title.name.toString());
    for (const MenuEntry &entry : std::span(definition.items, size_t(definition.itemCount))) {
        QAction *action = entry.caption == u"-" ? menu->addSeparator()
                                                : menu->addAction(entry.caption.toString());
        action->setObjectName(entry.name.toString());
        if (entry.handler)
            connect(action, &QAction::triggered, this, entry.handler);
    }
}

void Form1::createMenus()
{
    for (const MenuDefinition &definition : MenuBar)
        addCommands(menuBar()->addMenu(definition.title.caption.toString()), definition);
    m_treeRightClick = new QMenu(TreeRightClick.title.caption.toString(), this);
    addCommands(m_treeRightClick, TreeRightClick);
}

void Form1::createToolbar()
{
    m_toolbar = new QToolBar(m_client);
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    // The pictures are drawn on a 16 px grid: only whole multiples stay crisp.
    m_toolbar->setIconSize(QSize(16, 16) * int(m_scale));
    m_toolbar->setFloatable(false);
    m_toolbar->setMovable(false);
    // 23 by 21 pixels at 96 dpi, the bar's full height.
    const QSize buttonSize(twips(345), twips(315));
    for (const ToolbarButton &button : ToolbarButtons) {
        if (button.key.isEmpty()) {
            m_toolbar->addSeparator();
            continue;
        }
        // The button shows only its picture; the text is what a screen
        // reader says, and what the bar's overflow menu lists.
        QAction *action = m_toolbar->addAction(pictures::toolbarImage(button.picture),
                                               button.tooltip.toString());
        action->setObjectName(button.key.toString());
        action->setToolTip(button.tooltip.toString());
        action->setData(button.key.toString());
        m_toolbar->widgetForAction(action)->setFixedSize(buttonSize);
        connect(action, &QAction::triggered, this,
                [this, key = button.key.toString()] { Toolbar1_ButtonClick(key); });
    }
    m_toolbar->setGeometry(0, 0, m_client->width(), twips(315));
}

void Form1::connectView()
{
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (!m_coreChanging && current.isValid())
                    Tt_NodeClick(OutlineModel::categoryAt(current));
            });
    // A click on the category already selected loads it again, as any click
    // does; when the boxes already hold exactly that category, reloading a
    // large body would only cost time and the cursor's place.
    connect(m_tree, &QTreeView::clicked, this, [this](const QModelIndex &index) {
        Category *category = OutlineModel::categoryAt(index);
        if (m_document.EditPending || category != m_document.editedCategory())
            Tt_NodeClick(category);
    });
    connect(m_tree, &QTreeView::expanded, this, [this](const QModelIndex &index) {
        if (!m_coreChanging)
            Tt_Expand(OutlineModel::categoryAt(index));
    });
    connect(m_tree, &QTreeView::collapsed, this, [this](const QModelIndex &index) {
        if (!m_coreChanging)
            Tt_Collapse(OutlineModel::categoryAt(index));
    });

    connect(m_model, &OutlineModel::selectionRequested, this, [this](const QModelIndex &index) {
        QScopedValueRollback guard(m_coreChanging, true);
        if (index.isValid())
            m_tree->setCurrentIndex(index);
        else
            m_tree->selectionModel()->clear();
    });
    connect(m_model, &OutlineModel::expansionRequested, this,
            [this](const QModelIndex &index, bool expanded) {
                QScopedValueRollback guard(m_coreChanging, true);
                m_tree->setExpanded(index, expanded);
            });
    connect(m_model, &OutlineModel::scrollRequested, this, [this](const QModelIndex &index) {
        // The column must already cover the row for the view to scroll to it.
        m_fitColumn->stop();
        fitTreeColumn();
        m_tree->scrollTo(index);
    });
    connect(m_model, &OutlineModel::outlineReplaced, this, &Form1::applyExpansions);

    // Measuring every row is linear, so a burst of changes (a whole outline
    // expanding, level by level) is measured once, when the burst is over.
    m_fitColumn = new QTimer(this);
    m_fitColumn->setSingleShot(true);
    m_fitColumn->setInterval(0);
    connect(m_fitColumn, &QTimer::timeout, this, &Form1::fitTreeColumn);
    const auto refit = [this] { m_fitColumn->start(); };
    connect(m_tree, &QTreeView::expanded, this, refit);
    connect(m_tree, &QTreeView::collapsed, this, refit);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, refit);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, refit);
    // Marks and icons keep a row's width; only a new title can change it.
    connect(m_model, &QAbstractItemModel::dataChanged, this,
            [refit](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole))
                    refit();
            });
    connect(m_model, &OutlineModel::expansionRequested, this, refit);
}

void Form1::fitTreeColumn()
{
    // Never narrower than the view, so a row's highlight still spans it.
    // QTreeView hides its override; the base class's is the same function.
    const int contents = static_cast<QAbstractItemView *>(m_tree)->sizeHintForColumn(0);
    m_tree->header()->resizeSection(0, std::max(m_tree->viewport()->width(), contents));
}

void Form1::applyExpansions()
{
    QScopedValueRollback guard(m_coreChanging, true);
    const Outline &outline = m_document.outline;
    for (int i = 1; i <= outline.count(); ++i) {
        if (const Category *category = outline.item(i); category->expanded())
            m_tree->setExpanded(m_model->indexOf(category), true);
    }
    // Measured now rather than when the burst is over: a column widened
    // after the window's first paint makes the whole tree paint again, about
    // 2.5 ms of starting the program.
    m_fitColumn->stop();
    fitTreeColumn();
}

QString Form1::startupFile(const QStringList &arguments, const QString &startFolder)
{
    // The argument is taken whole, blanks and all; a relative path means the
    // folder the user started the program from.
    const QString argument = arguments.join(u' ');
    return argument.isEmpty() ? QString() : QDir(startFolder).absoluteFilePath(argument);
}

void Form1::Form_Load(const QStringList &arguments, const QString &startFolder,
                      OutlineReadAhead *readAhead)
{
    const QString path = startupFile(arguments, startFolder);
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    if (!path.isEmpty()) {
        m_document.CurrentFile = path;
        const FileStamp seen = readAhead ? readAhead->stampBeforeRead(path) : FileStamp::of(path);
        ReadResult read = readAhead ? readAhead->take(path) : readOutlineFile(path);
        if (m_fileCommands.DataLoad(path, std::move(read), seen))
            return;
        // A missing file is where the new outline will be saved. An existing
        // file that could not be read is not: saving over it would destroy
        // what the user may still recover from it.
        if (QFileInfo::exists(path))
            m_document.CurrentFile.clear();
    }
    ResetOutline();
}

void Form1::ResetOutline()
{
    QScopedValueRollback guard(m_coreChanging, true);
    ::ResetOutline(m_document);
    showEditedCategory();
}

void Form1::NewOutline()
{
    commitComposition();
    if (!m_questions.askYesNo(QStringLiteral("新規"),
                              QStringLiteral("編集中のデータを破棄します\r\nよろしいですか？"),
                              true))
        return;
    ResetOutline();
}

bool Form1::event(QEvent *event)
{
    // The icon follows the first frame: drawing it at every size a title bar
    // may ask for and sending those to the display held that frame back by
    // most of a millisecond, for a picture no one looks at while the program
    // opens.
    if (event->type() == QEvent::Paint && !m_iconSet) {
        m_iconSet = true;
        QMetaObject::invokeMethod(
                this, [this] { setWindowIcon(pictures::programIcon()); }, Qt::QueuedConnection);
    }
    return QMainWindow::event(event);
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Form_Unload offers no Cancel. The one way back to the window is
    // declining to store text the file cannot hold, so that answering No
    // there never throws the whole outline away.
    if (m_fileCommands.askToSaveChanges())
        event->accept();
    else
        event->ignore();
}

void Form1::Toolbar1_ButtonClick(const QString &key)
{
    if (key == u"tNew")
        NewOutline();
    else if (key == u"tOpen")
        mOpen_Click();
    else if (key == u"tSave")
        mSave_Click();
    else if (key == u"tCheck")
        mCheck_Click();
    else if (key == u"tDelete")
        mDelete_Click();
    // tCopy, tCut, tPaste, tPrint, tPreview, tUp and tDown do nothing.
}

void Form1::mOpen_Click()
{
    m_fileCommands.mOpen_Click();
}

void Form1::mSave_Click()
{
    m_fileCommands.mSave_Click();
}

void Form1::mCreate_Click()
{
    m_fileCommands.mCreate_Click();
}

void Form1::mAbout_Click()
{
    // One box at a time: showing it again only brings it to the front.
    if (!m_about)
        m_about = new About([this] { return FileTitleOf(m_document.CurrentFile); });
    m_about->present();
}

void Form1::commitComposition()
{
    m_composition->commit();
}

void Form1::writeBackEdit()
{
    // A toolbar button takes no focus, so nothing else commits what is still
    // being composed; it belongs to the category being edited.
    commitComposition();
    // Without typing there is nothing to store, and reading a large body out
    // of the box costs as much as showing it.
    if (!m_document.EditPending)
        return;
    // The box gives back every line end as CR LF, so a body is stored only
    // when it was edited: one with lone LFs keeps them when only its title
    // was typed in. Nor does a large body, still filling, need to be read.
    std::optional<QString> body;
    if (m_bodyEdited) {
        m_bodyFiller->finish();
        body = withCrLfLineEnds(m_body->toPlainText());
    }
    WriteBackEdit(m_document, m_title->text(), body);
    m_bodyEdited = false;
}

void Form1::showEditedCategory()
{
    const Category *category = m_document.editedCategory();
    if (!category)
        return fillBoxes(QString(), QString());
    fillBoxes(category->title(), m_document.outline.TextData[size_t(category->keyNumber())]);
}

void Form1::fillBoxes(const QString &title, const QString &body)
{
    QScopedValueRollback guard(m_fillingBoxes, true);
    m_title->setText(title);
    // A title longer than the box shows its beginning.
    m_title->setCursorPosition(0);
    m_bodyFiller->fill(withLfLineEnds(body));
    m_bodyEdited = false;
}

void Form1::keepTitleOneLine(const QString &text)
{
    // A line edit keeps the line breaks that are pasted or dropped into it,
    // showing them as blanks; they become blanks as they come in. Only such
    // an entry is replaced, and it takes the box's undo steps with it.
    const QString line = oneLineTitle(text);
    if (line == text)
        return;
    const int cursor = int(oneLineTitle(text.left(m_title->cursorPosition())).size());
    m_title->setText(line);
    m_title->setCursorPosition(cursor);
}

void Form1::setCaption(const QString &caption)
{
    setWindowTitle(caption);
}

void Form1::markEdited()
{
    m_document.EditPending = true;
    m_document.DataChanged = true;
}

void Form1::Tt_NodeClick(Category *node)
{
    if (!node)
        return;
    writeBackEdit();
    beginEditing(m_document, node);
    showEditedCategory();
    m_document.outline.select(node);
}

void Form1::Tt_MouseDown(Qt::MouseButton button)
{
    writeBackEdit();
    if (button == Qt::RightButton)
        m_treeRightClick->exec(QCursor::pos());
}

void Form1::Tt_DblClick()
{
    mCheck_Click();
}

void Form1::Tt_Expand(Category *node)
{
    // The view's own keys (+, *) open a row without children too. Such a
    // category has nothing to show: it stays closed and keeps its page.
    if (node->childCount() == 0) {
        QScopedValueRollback guard(m_coreChanging, true);
        m_tree->collapse(m_model->indexOf(node));
        return;
    }
    m_document.outline.setExpanded(node, true);
    m_document.outline.setImage(node, icons::of(icons::Expanded, node->checked()));
}

void Form1::Tt_Collapse(Category *node)
{
    m_document.outline.setExpanded(node, false);
    // A category without children keeps its page, though the view may have
    // held it open (a loaded outline's lone root is).
    if (node->childCount() != 0)
        m_document.outline.setImage(node, icons::of(icons::Collapsed, node->checked()));
    // The commands act on the selected category, which must stay in sight:
    // collapsing its ancestor selects the ancestor, as a click on it would.
    if (const Category *selected = m_document.outline.selected();
        selected && selected != node && selected->isWithin(node))
        Tt_NodeClick(node);
}

void Form1::mCheck_Click()
{
    toggleSelectedMark(m_document);
}

void Form1::CreateNextLevel_Click()
{
    QScopedValueRollback guard(m_coreChanging, true);
    createChildOfSelected(m_document);
}

void Form1::CreateThisLevel_Click()
{
    QScopedValueRollback guard(m_coreChanging, true);
    createSiblingBeforeSelected(m_document);
}

void Form1::mDelete_Click()
{
    // Typing reaches its own category before positions close up; then the
    // boxes show the neighbour the deletion selected.
    writeBackEdit();
    {
        QScopedValueRollback guard(m_coreChanging, true);
        if (!deleteSelectedCategory(m_document))
            return;
    }
    Tt_NodeClick(m_document.outline.selected());
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize) {
        Form_Resize();
    } else if (watched == m_tree->viewport() && event->type() == QEvent::Resize) {
        // The column is never narrower than the view, which narrows when its
        // scroll bar comes and widens when it goes.
        const auto *resize = static_cast<QResizeEvent *>(event);
        if (resize->size().width() != resize->oldSize().width())
            m_fitColumn->start();
    } else if (watched == m_tree->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto button = static_cast<QMouseEvent *>(event)->button();
        Tt_MouseDown(button);
        // The popup acts on the selected category, so a right click must not
        // move the selection to the category under the pointer.
        if (button == Qt::RightButton)
            return true;
    } else if (watched == m_tree->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // Anywhere in the tree, also on empty space or an expand sign, where
        // the view itself reports no double click.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            Tt_DblClick();
    } else if ((watched == m_title || watched == m_body) && event->type() == QEvent::KeyPress) {
        markEdited();
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::Form_Resize()
{
    // The design margins, taken against the client area: the tree and the body
    // box end 120 above the bottom, the boxes 150 short of the right edge and
    // 240 right of the tree's width. Sizes stop at 0.
    const double scale = m_scale / TwipsPerPixel;
    const auto px = [scale](double twipValue) { return int(std::lround(twipValue * scale)); };
    const double clientWidth = m_client->width() / scale;
    const double clientHeight = m_client->height() / scale;
    const double treeWidth = m_tree->width() / scale;
    const double boxLeft = treeWidth + 240;
    const double boxWidth = std::max(0.0, clientWidth - boxLeft - 150);

    m_toolbar->setGeometry(0, 0, m_client->width(), px(315));
    m_tree->resize(m_tree->width(), px(std::max(0.0, clientHeight - 120 - 360)));
    m_title->setGeometry(px(boxLeft), m_title->y(), px(boxWidth), m_title->height());
    m_body->setGeometry(px(boxLeft), m_body->y(), px(boxWidth),
                        px(std::max(0.0, clientHeight - 120 - 840)));
}
