#pragma once

#include <QProxyStyle>

class QAbstractScrollArea;

// The tree view draws a branch indicator for every level of every row it
// paints, also for the levels scrolled out of sight: a row 2,000 levels deep
// costs 2,000 style calls each time it is drawn. This style drops the ones
// that fall outside the view and passes everything else to the application's
// style, so what is seen does not change.
class TreeBranchStyle : public QProxyStyle
{
    Q_OBJECT
public:
    // `view` is the one view whose branches are culled; the style must not
    // outlive it (it is made the view's child). A null `base` means the
    // application's style.
    explicit TreeBranchStyle(const QAbstractScrollArea *view, QStyle *base = nullptr);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;

private:
    // Compared by address: a cast per indicator was a tenth of repainting
    // a deep chain.
    const QAbstractScrollArea *m_view;
};
