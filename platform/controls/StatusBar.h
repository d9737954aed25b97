#pragma once

#include "platform/controls/KeyedCollection.h"
#include "platform/controls/StatusPanel.h"

#include <QWidget>

#include <vector>

class QHBoxLayout;

enum class PanelAutoSize {
    None,     // exactly the given width
    Spring,   // shares the room the other panels leave, never below the given width
    Contents, // fits its text and picture, never below the given width
};

// A status bar of panels addressed by key and by 1-based index (failures as in
// ItemRef.h). Panels are laid out left to right in the order they were added.
class StatusBar : public QWidget
{
    Q_OBJECT

public:
    explicit StatusBar(QWidget *parent = nullptr);

    // Width in pixels. A taken key fails (KeyNotUnique) and adds nothing.
    StatusPanel &addPanel(const QString &key, int width, PanelAutoSize autoSize = PanelAutoSize::None,
                          const QString &toolTip = {});

    int count() const { return m_panels.count(); }
    int indexOfKey(const QString &key) const { return m_panels.indexOf(key); }
    QString keyAt(int index) const { return m_panels.keyAt(index); }
    StatusPanel &panel(const ItemRef &panel) const { return *m_panels[panel]; }
    // The room the panels need to be read: the panels of fixed width at their given
    // widths, a sharing panel at its readable width, gaps included.
    int readablePanelsWidth() const;

signals:
    // A panel was clicked or double-clicked with the left button; index is 1-based.
    void panelClicked(const QString &key, int index);
    void panelDoubleClicked(const QString &key, int index);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    struct PanelDesign
    {
        StatusPanel *panel;
        int width;
        PanelAutoSize autoSize;
    };

    // About as many characters as a short message holds.
    static constexpr int kReadableCharacters = 28;

    int indexOfPanel(const StatusPanel *panel) const;
    // A sharing panel's readable width (never more than its given width).
    int minimumWidthOf(const PanelDesign &design) const;
    // The panels at their given widths, or, on a bar narrower than they need, narrowed:
    // the spring and contents panels first, then the panels of fixed width.
    void fitPanels();

    QHBoxLayout *m_layout;
    KeyedCollection<StatusPanel *> m_panels;
    std::vector<PanelDesign> m_designs;
};
