#include "platform/controls/CoolBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace {
constexpr int GripWidth = 6;
constexpr int CaptionGap = 4;
constexpr int RowGap = 2;
} // namespace

CoolBar::CoolBar(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setMouseTracking(true);
}

CoolBar::~CoolBar() = default;

CoolBarBand &CoolBar::addBand(const QString &key, const QString &caption, QWidget *child)
{
    auto band = std::make_shared<CoolBarBand>(this, key, caption, child);
    m_bands.append(key, band);
    if (child) {
        child->setParent(this);
        child->show();
    }
    Refresh();
    return *band;
}

int CoolBar::indexOfBand(const CoolBarBand *band) const
{
    return m_bands.findIf([band](const std::shared_ptr<CoolBarBand> &b) { return b.get() == band; });
}

int CoolBar::headerWidth(const CoolBarBand &band) const
{
    const int grip = band.style() == BandStyle::FixedSize ? 0 : GripWidth;
    if (band.caption().isEmpty())
        return grip;
    return grip + CaptionGap + fontMetrics().horizontalAdvance(band.caption()) + CaptionGap;
}

std::vector<CoolBarLayout::BandInput> CoolBar::inputs() const
{
    std::vector<CoolBarLayout::BandInput> result;
    for (int i = 1; i <= m_bands.count(); ++i) {
        const CoolBarBand &band = *m_bands.at(i);
        CoolBarLayout::BandInput input;
        input.visible = band.isVisible();
        input.newRow = band.newRow();
        input.fixed = band.style() == BandStyle::FixedSize;
        input.width = band.width();
        input.headerWidth = headerWidth(band);
        input.naturalWidth = input.headerWidth + (band.child() ? band.child()->sizeHint().width() : 0);
        input.minWidth = band.minWidth();
        input.minHeight = band.minHeight();
        if (band.child())
            input.minHeight = std::max(input.minHeight, band.child()->minimumSizeHint().height());
        result.push_back(input);
    }
    return result;
}

void CoolBar::Refresh()
{
    const std::vector<CoolBarLayout::BandInput> bands = inputs();
    m_arrangement = CoolBarLayout::arrange(bands, width(), RowGap);
    for (int i = 1; i <= m_bands.count(); ++i) {
        if (QWidget *child = m_bands.at(i)->child())
            child->hide();
    }
    for (const CoolBarLayout::BandPlace &place : m_arrangement.places) {
        QWidget *child = m_bands.at(place.band + 1)->child();
        if (!child)
            continue;
        const int header = bands[std::size_t(place.band)].headerWidth;
        child->setGeometry(place.x + header, place.y, std::max(0, place.width - header), place.height);
        child->show();
    }
    if (height() != m_arrangement.height)
        setFixedHeight(m_arrangement.height);
    updateGeometry();
    update();
}

QSize CoolBar::sizeHint() const
{
    return {width(), m_arrangement.height};
}

QSize CoolBar::minimumSizeHint() const
{
    return {CoolBarLayout::narrowestBar(inputs()), m_arrangement.height};
}

void CoolBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Refresh();
}

void CoolBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (const CoolBarLayout::BandPlace &place : m_arrangement.places) {
        const CoolBarBand &band = *m_bands.at(place.band + 1);
        int x = place.x;
        if (band.style() != BandStyle::FixedSize) {
            painter.setPen(palette().color(QPalette::Mid));
            painter.drawLine(x + 2, place.y + 2, x + 2, place.y + place.height - 3);
            painter.drawLine(x + 4, place.y + 2, x + 4, place.y + place.height - 3);
            x += GripWidth;
        }
        if (!band.caption().isEmpty()) {
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(QRect(x + CaptionGap, place.y, headerWidth(band), place.height),
                             Qt::AlignVCenter | Qt::AlignLeft, band.caption());
        }
    }
}

int CoolBar::gripAt(const QPoint &point) const
{
    for (const CoolBarLayout::BandPlace &place : m_arrangement.places) {
        if (m_bands.at(place.band + 1)->style() == BandStyle::FixedSize)
            continue;
        const QRect header(place.x, place.y, headerWidth(*m_bands.at(place.band + 1)), place.height);
        if (header.contains(point))
            return place.band;
    }
    return -1;
}

int CoolBar::previousInRow(int band) const
{
    int previous = -1;
    int row = -1;
    for (const CoolBarLayout::BandPlace &place : m_arrangement.places) {
        if (place.band == band)
            row = place.row;
    }
    for (const CoolBarLayout::BandPlace &place : m_arrangement.places) {
        if (place.band < band && place.row == row)
            previous = place.band;
    }
    return previous;
}

void CoolBar::mousePressEvent(QMouseEvent *event)
{
    const int grip = gripAt(event->position().toPoint());
    const int target = grip < 0 ? -1 : previousInRow(grip);
    if (event->button() != Qt::LeftButton || target < 0 || m_bands.at(target + 1)->style() == BandStyle::FixedSize) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_dragBand = target;
    m_dragStartX = event->position().toPoint().x();
    for (const CoolBarLayout::BandPlace &place : m_arrangement.places) {
        if (place.band == target)
            m_dragStartWidth = place.width;
    }
}

void CoolBar::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragBand >= 0) {
        const int wanted = m_dragStartWidth + event->position().toPoint().x() - m_dragStartX;
        m_bands.at(m_dragBand + 1)->setWidth(std::max(0, wanted));
        return;
    }
    setCursor(gripAt(event->position().toPoint()) >= 0 ? Qt::SizeHorCursor : Qt::ArrowCursor);
    QWidget::mouseMoveEvent(event);
}

void CoolBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dragBand >= 0) {
        const int resized = m_dragBand + 1;
        m_dragBand = -1;
        emit bandResized(resized);
        return;
    }
    QWidget::mouseReleaseEvent(event);
}
