#include "about/about.h"

#include "resources/japanesefont.h"
#include "resources/pictures.h"
#include "sorveka_version.h"

#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Layout in twips; 15 twips make one pixel at 96 dpi.
constexpr double TwipsPerPixelAt96Dpi = 15.0;
constexpr double ClientWidth = 3150;
constexpr double ClientHeight = 2730;

constexpr double Margin = 240; // left edge of the picture, the lines and FnameP
constexpr double TitleLeft = 1200;
constexpr double TitleTop = 360;
constexpr double TitleWidth = 1545;
constexpr double TitleHeight = 315;
constexpr double VersionTop = 960;
constexpr double DescriptionTop = 1320;
constexpr double LineY = 1680;
constexpr double LineRight = 2880;

constexpr int TickMs = 20;
constexpr double SlideStep = 60; // version and notice lines, per tick
constexpr double DropStep = 4; // title, per tick

constexpr int IconPixels = 32;

const QColor Background(192, 192, 255);
const QColor FileNameBackground(255, 128, 255);
const QColor TitleColour(0, 0, 255);
const QColor LineColour(128, 128, 128);

QString versionText()
{
    return u"Version "_s + sorvekaVersion();
}

QString noticeText()
{
    return u"© 2026 Sorveka の作者"_s;
}

// A file name such as "<u>plan.svk" is a name, not markup.
QLabel *plainLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void fillWith(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

About::About(FileTitleSource fileTitle, QWidget *parent)
    : QWidget(parent,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                      | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_fileTitle(std::move(fileTitle))
{
    setObjectName(u"About"_s);
    setWindowTitle(u"ﾊﾞｰｼﾞｮﾝ & 編集中ﾌｧｲﾙ名"_s);
    setWindowIcon(pictures::programIcon());
    fillWith(this, Background);

    // Twips follow the user's text scaling, never shrinking below 96 dpi.
    m_twipsPerPixel = TwipsPerPixelAt96Dpi * 96.0 / std::max(96, logicalDpiX());
    setFixedSize(toPixels(ClientWidth), toPixels(ClientHeight));

    m_picture = new QLabel(this);
    m_picture->setObjectName(u"Picture1"_s);
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picture->setPixmap(
            pictures::programIcon().pixmap(QSize(IconPixels, IconPixels), devicePixelRatioF()));
    placeTwips(m_picture, Margin, Margin, 540, 540);

    m_title = plainLabel(this);
    m_title->setText(u"Sorveka♪"_s);
    m_title->setObjectName(u"lblTitle"_s);
    m_title->setFont(japaneseGothicFont(15.75, QFont::Bold));
    QPalette titlePalette = m_title->palette();
    titlePalette.setColor(QPalette::WindowText, TitleColour);
    m_title->setPalette(titlePalette);
    placeTwips(m_title, TitleLeft, TitleTop, TitleWidth, TitleHeight);

    m_version = plainLabel(this);
    m_version->setObjectName(u"lblVersion"_s);
    placeTwips(m_version, Margin, VersionTop, 585, 180);

    m_description = plainLabel(this);
    m_description->setObjectName(u"lblDescription"_s);
    placeTwips(m_description, Margin, DescriptionTop, 1170, 180);

    m_line = new QFrame(this);
    m_line->setObjectName(u"Line1"_s);
    m_line->setFrameShape(QFrame::NoFrame);
    fillWith(m_line, LineColour);
    // Both end points are drawn, so the line is one pixel longer than apart.
    m_line->setGeometry(toPixels(Margin), toPixels(LineY),
                        toPixels(LineRight) - toPixels(Margin) + 1,
                        std::max(1, qRound(TwipsPerPixelAt96Dpi / m_twipsPerPixel)));

    m_fileName = plainLabel(this);
    m_fileName->setObjectName(u"FnameP"_s);
    fillWith(m_fileName, FileNameBackground);
    placeTwips(m_fileName, Margin, 1800, 2655, 255);

    m_ok = new QPushButton(u"OK"_s, this);
    m_ok->setObjectName(u"Command1"_s);
    // Not the window's default button, but when it has the focus it answers
    // Enter as well as Space, as a focused button does on the desktop.
    m_ok->setDefault(false);
    m_ok->setAutoDefault(true);
    placeTwips(m_ok, 1920, 2160, 975, 375);
    connect(m_ok, &QPushButton::clicked, this, &About::Command1_Click);

    m_timer = new QTimer(this);
    m_timer->setObjectName(u"Timer1"_s);
    m_timer->setInterval(TickMs);
    connect(m_timer, &QTimer::timeout, this, &About::tick);
}

void About::present()
{
    // A minimised box comes back as it was: that is not a new opening.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void About::showEvent(QShowEvent *event)
{
    // Becoming visible again after being minimised is not a new opening.
    if (!m_loaded)
        load();
    QWidget::showEvent(event);
}

void About::hideEvent(QHideEvent *event)
{
    // Minimising hides spontaneously and keeps the box loaded; closing or
    // hiding it from the program unloads it.
    if (!event->spontaneous())
        unload();
    QWidget::hideEvent(event);
}

// Runs while the box is being shown, before its first paint, so the labels
// never appear at their design positions.
void About::load()
{
    m_version->setText(versionText());
    m_version->adjustSize();
    m_description->setText(noticeText());
    m_description->adjustSize();

    m_versionLeft = -m_version->width() * m_twipsPerPixel;
    applyVersionLeft();
    // The frame is not known before the window is first mapped; the client
    // width then stands in, which still starts the line beyond the edge.
    m_descriptionLeft = std::max(frameGeometry().width(), width()) * m_twipsPerPixel;
    applyDescriptionLeft();
    m_titleTop = -m_title->height() * m_twipsPerPixel;
    applyTitleTop();

    m_fileName->setText(m_fileTitle());

    AnimationStep = 0;
    m_timer->start();
    m_loaded = true;
}

void About::unload()
{
    m_timer->stop();
    m_loaded = false;
}

void About::tick()
{
    // Each phase moves first and then tests, so the tick that crosses the
    // target snaps the label exactly onto its design position.
    switch (AnimationStep) {
    case 0:
        m_versionLeft += SlideStep;
        if (m_versionLeft >= Margin) {
            m_versionLeft = Margin;
            AnimationStep = 1;
        }
        applyVersionLeft();
        break;
    case 1:
        m_descriptionLeft -= SlideStep;
        if (m_descriptionLeft <= Margin) {
            m_descriptionLeft = Margin;
            AnimationStep = 2;
        }
        applyDescriptionLeft();
        break;
    case 2:
        m_titleTop += DropStep;
        if (m_titleTop >= TitleTop) {
            m_titleTop = TitleTop;
            AnimationStep = 3;
        }
        applyTitleTop();
        break;
    case 3:
        AnimationStep = 0;
        m_timer->stop();
        break;
    default: break;
    }
}

void About::Command1_Click()
{
    close();
    emit closedByOk();
    deleteLater();
}

int About::toPixels(double twips) const
{
    return qRound(twips / m_twipsPerPixel);
}

void About::placeTwips(QWidget *widget, double left, double top, double width, double height)
{
    widget->setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

void About::applyVersionLeft()
{
    m_version->move(toPixels(m_versionLeft), m_version->y());
}

void About::applyDescriptionLeft()
{
    m_description->move(toPixels(m_descriptionLeft), m_description->y());
}

void About::applyTitleTop()
{
    m_title->move(m_title->x(), toPixels(m_titleTop));
}
