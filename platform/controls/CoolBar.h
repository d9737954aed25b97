#pragma once

#include "platform/controls/CoolBarBand.h"
#include "platform/controls/CoolBarLayout.h"
#include "platform/controls/KeyedCollection.h"

#include <QWidget>

#include <memory>

// A bar of captioned bands in rows, addressed by key and by 1-based index (failures as
// in ItemRef.h). A band's child is reparented to the bar; a hidden band takes its
// child out of the layout. The user widens or narrows a band by dragging the grip of
// the band that follows it in the same row. Sizes are pixels.
class CoolBar : public QWidget
{
    Q_OBJECT

public:
    explicit CoolBar(QWidget *parent = nullptr);
    ~CoolBar() override;

    // A taken key fails (KeyNotUnique) and adds nothing.
    CoolBarBand &addBand(const QString &key, const QString &caption, QWidget *child);
    int count() const { return m_bands.count(); }
    CoolBarBand &band(const ItemRef &ref) const { return *m_bands[ref]; }
    int indexOfBand(const CoolBarBand *band) const;

    // Re-arranges the bands now.
    void Refresh();
    // The arrangement last applied, for tests and for the bar's own painting.
    const CoolBarLayout::Result &arrangement() const { return m_arrangement; }
    // Grip and caption width of a band.
    int headerWidth(const CoolBarBand &band) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A band was resized by the user.
    void bandResized(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::vector<CoolBarLayout::BandInput> inputs() const;
    // The visible band whose grip lies under the point, 0-based; -1 for none.
    int gripAt(const QPoint &point) const;
    // The band placed just before the given one in its row, 0-based; -1 for none.
    int previousInRow(int band) const;

    KeyedCollection<std::shared_ptr<CoolBarBand>> m_bands;
    CoolBarLayout::Result m_arrangement;
    int m_dragBand = -1; // the band being resized (the one before the grabbed grip)
    int m_dragStartX = 0;
    int m_dragStartWidth = 0;
};
