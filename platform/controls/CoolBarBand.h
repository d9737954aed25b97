#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class CoolBar;

enum class BandStyle {
    Normal,
    FixedSize // no grip: the band always shows its whole child, and at least its minimum width
};

// One band of a cool bar: a caption in front of a child control. Sizes are pixels.
// Every setter re-arranges the bar.
class CoolBarBand
{
public:
    CoolBarBand(CoolBar *bar, const QString &key, const QString &caption, QWidget *child);

    QString key() const { return m_key; }
    QString caption() const { return m_caption; }
    QWidget *child() const { return m_child; }
    int index() const;

    int minWidth() const { return m_minWidth; }
    void setMinWidth(int width);
    int minHeight() const { return m_minHeight; }
    void setMinHeight(int height);
    // The width asked for, header included; 0 asks for what shows the whole child. The
    // bar may show the band wider (the last band of a row takes the rest) or narrower
    // when the row is full.
    int width() const { return m_width; }
    void setWidth(int width);
    bool newRow() const { return m_newRow; }
    void setNewRow(bool newRow);
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);
    BandStyle style() const { return m_style; }
    void setStyle(BandStyle style);
    // The band's place in the bar's order, 1-based.
    int position() const { return index(); }

private:
    void changed();

    CoolBar *m_bar;
    QString m_key;
    QString m_caption;
    QPointer<QWidget> m_child;
    int m_minWidth = 0;
    int m_minHeight = 0;
    int m_width = 0;
    bool m_newRow = false;
    bool m_visible = true;
    BandStyle m_style = BandStyle::Normal;
};
