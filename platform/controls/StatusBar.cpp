#include "platform/controls/StatusBar.h"

#include <QHBoxLayout>
#include <QLabel>

StatusBar::StatusBar(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(2);
    // Panels of fixed width stay at the left, as the bar's own panels did.
    m_layout->addStretch(0);
}

StatusPanel &StatusBar::addPanel(const QString &key, int width, PanelAutoSize autoSize, const QString &toolTip)
{
    if (m_panels.contains(key))
        raiseKeyTaken(key);
    auto *panel = new StatusPanel(this);
    panel->setToolTip(toolTip);
    switch (autoSize) {
    case PanelAutoSize::None:
        panel->setFixedWidth(width);
        break;
    case PanelAutoSize::Spring:
        panel->setMinimumWidth(width);
        panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        break;
    case PanelAutoSize::Contents:
        panel->setMinimumWidth(width);
        panel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        break;
    }
    m_panels.append(key, panel);
    m_layout->insertWidget(m_layout->count() - 1, panel, autoSize == PanelAutoSize::Spring ? 1 : 0);
    connect(panel, &StatusPanel::clicked, this, [this, panel] {
        const int index = indexOfPanel(panel);
        emit panelClicked(m_panels.keyAt(index), index);
    });
    connect(panel, &StatusPanel::doubleClicked, this, [this, panel] {
        const int index = indexOfPanel(panel);
        emit panelDoubleClicked(m_panels.keyAt(index), index);
    });
    return *panel;
}

int StatusBar::indexOfPanel(const StatusPanel *panel) const
{
    return m_panels.findIf([panel](const StatusPanel *p) { return p == panel; });
}
