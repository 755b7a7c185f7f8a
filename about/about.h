#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

// The version window: program name, version, rights notice and the name of
// the file being edited, with three labels sliding into place when it opens.
//
// Contract with the owner (the main window keeps one QPointer<About>):
// - Create the box with a way to read the current file's title, then
//   present() it. Showing a box that is not loaded loads it: the title is
//   read then, captions are set, the three labels go off-screen and the
//   animation starts from its first phase.
// - present() on a box that is already open only brings it to the front,
//   restoring it when minimised; the animation is not restarted.
// - OK hides the box, emits closedByOk() and deletes it with deleteLater(), so
//   the QPointer clears on its own; forgetting it on closedByOk() just does it
//   sooner. The next opening therefore makes a new box that animates again.
// - Closing it with the title-bar button only hides it (nothing is deleted);
//   showing that same box again loads it afresh and replays the animation.
// - The box is a window of its own with no parent, so it outlives the main
//   window's closing; an owner that is being destroyed may delete it.
class About : public QWidget
{
    Q_OBJECT

public:
    // The phase the next timer tick performs: 0 version line, 1 notice line,
    // 2 title, 3 end; any other value makes a tick do nothing. One value for
    // the whole program rather than one per box: the owner never keeps more
    // than one box, so there is only ever one animation to track, and loading
    // resets it, so a box closed halfway leaves nothing behind for the next.
    static inline qint16 AnimationStep = 0;

    // Gives the name to show, read at every load: the caller has already
    // reduced the path to the file's name (or gives an empty string when
    // there is none). It is shown as plain text, never as markup.
    using FileTitleSource = std::function<QString()>;
    explicit About(FileTitleSource fileTitle, QWidget *parent = nullptr);

    // Shows the box, loading it if it is not loaded, and brings it to the front.
    void present();

    // Current positions in twips, before rounding to pixels.
    double versionLeft() const { return m_versionLeft; }
    double descriptionLeft() const { return m_descriptionLeft; }
    double titleTop() const { return m_titleTop; }
    // Twips in one pixel of this box: 15 at 96 dpi, fewer on denser settings.
    double twipsPerPixel() const { return m_twipsPerPixel; }
    bool isLoaded() const { return m_loaded; }

public slots:
    // One step of the animation; Timer1 calls it every 20 ms while it runs.
    void tick();

signals:
    // OK was pressed: the box is hidden and will delete itself.
    void closedByOk();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void load();
    void unload();
    void Command1_Click();
    int toPixels(double twips) const;
    void placeTwips(QWidget *widget, double left, double top, double width, double height);
    void applyVersionLeft();
    void applyDescriptionLeft();
    void applyTitleTop();

    FileTitleSource m_fileTitle;
    double m_twipsPerPixel = 15.0;
    bool m_loaded = false;

    double m_versionLeft = 0;
    double m_descriptionLeft = 0;
    double m_titleTop = 0;

    QLabel *m_picture = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_version = nullptr;
    QLabel *m_description = nullptr;
    QFrame *m_line = nullptr;
    QLabel *m_fileName = nullptr;
    QPushButton *m_ok = nullptr;
    QTimer *m_timer = nullptr;
};
