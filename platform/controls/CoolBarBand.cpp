#include "platform/controls/CoolBarBand.h"

#include "platform/controls/CoolBar.h"
#include "platform/system/ErrorState.h"

CoolBarBand::CoolBarBand(CoolBar *bar, const QString &key, const QString &caption, QWidget *child)
    : m_bar(bar), m_key(key), m_caption(caption), m_child(child)
{
}

int CoolBarBand::index() const
{
    return m_bar->indexOfBand(this);
}

void CoolBarBand::setMinWidth(int width)
{
    if (width < 0)
        raiseError(ErrorNumber::InvalidPropertyValue);
    m_minWidth = width;
    changed();
}

void CoolBarBand::setMinHeight(int height)
{
    if (height < 0)
        raiseError(ErrorNumber::InvalidPropertyValue);
    m_minHeight = height;
    changed();
}

void CoolBarBand::setWidth(int width)
{
    if (width < 0)
        raiseError(ErrorNumber::InvalidPropertyValue);
    m_width = width;
    changed();
}

void CoolBarBand::setNewRow(bool newRow)
{
    m_newRow = newRow;
    changed();
}

void CoolBarBand::setVisible(bool visible)
{
    m_visible = visible;
    changed();
}

void CoolBarBand::setStyle(BandStyle style)
{
    m_style = style;
    changed();
}

void CoolBarBand::changed()
{
    m_bar->Refresh();
}
