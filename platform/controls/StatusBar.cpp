#include "platform/controls/StatusBar.h"

#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

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
    if (autoSize == PanelAutoSize::Spring)
        panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    else if (autoSize == PanelAutoSize::Contents)
        panel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    m_panels.append(key, panel);
    m_designs.push_back({panel, width, autoSize});
    fitPanels();
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

int StatusBar::minimumWidthOf(const PanelDesign &design) const
{
    if (design.autoSize == PanelAutoSize::None)
        return design.width;
    if (design.autoSize == PanelAutoSize::Contents)
        return 0;
    // Room for a message such as "Soubor … byl stažen." in the panel's own font.
    return std::min(design.width, design.panel->fontMetrics().averageCharWidth() * kReadableCharacters);
}

int StatusBar::readablePanelsWidth() const
{
    int width = 0;
    for (const PanelDesign &design : m_designs)
        width += minimumWidthOf(design) + m_layout->spacing();
    return width;
}

void StatusBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitPanels();
}

void StatusBar::fitPanels()
{
    int fixed = 0;
    int flexible = 0;
    int flexibleMinimum = 0;
    for (const PanelDesign &design : m_designs) {
        if (design.autoSize == PanelAutoSize::None) {
            fixed += design.width;
        } else {
            flexible += design.width;
            flexibleMinimum += minimumWidthOf(design);
        }
    }
    const int gaps = m_layout->spacing() * std::max(0, int(m_designs.size()) - 1);
    const int room = std::max(0, width() - gaps);
    // Squeezed below their widths the panels would cover one another and run off the
    // bar: the panels that share the room give it up first, down to a width their text
    // can still be read in; then the others, each by the same share; the sharing panels
    // below their readable width only on a bar too narrow for even that.
    double flexibleShare = 1.0;
    double fixedShare = 1.0;
    double minimumShare = 1.0;
    if (room < fixed + flexible) {
        flexibleShare = flexible > 0 ? std::max(0, room - fixed) / double(flexible) : 0.0;
        fixedShare = room < fixed + flexibleMinimum ? std::max(0, room - flexibleMinimum) / double(std::max(fixed, 1)) : 1.0;
        minimumShare = room < flexibleMinimum ? room / double(flexibleMinimum) : 1.0;
    }
    for (const PanelDesign &design : m_designs) {
        if (design.autoSize == PanelAutoSize::None)
            design.panel->setFixedWidth(int(design.width * fixedShare));
        else
            design.panel->setMinimumWidth(
                std::max(int(design.width * flexibleShare), int(minimumWidthOf(design) * minimumShare)));
    }
}
