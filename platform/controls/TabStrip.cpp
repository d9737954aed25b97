#include "platform/controls/TabStrip.h"

#include "platform/controls/ImageList.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QTabBar>

namespace {

// Each tab's data holds its key and its image key.
enum TabField { KeyField, ImageField };

QString field(const QTabBar *bar, int position, TabField which)
{
    return bar->tabData(position).toStringList().value(which);
}

void setField(QTabBar *bar, int position, TabField which, const QString &value)
{
    QStringList data = bar->tabData(position).toStringList();
    data.resize(2);
    data[which] = value;
    bar->setTabData(position, data);
}

// Captions are page titles: an "&" in them is text, not a shortcut marker.
QString shownText(QString caption)
{
    return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

TabStrip::TabStrip(QWidget *parent)
    : QWidget(parent)
    , m_bar(new QTabBar(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_bar);
    m_bar->setMovable(false);
    m_bar->setExpanding(false);
    m_bar->setSelectionBehaviorOnRemove(QTabBar::SelectPreviousTab);
    m_bar->installEventFilter(this);
    setFocusProxy(m_bar);
    connect(m_bar, &QTabBar::currentChanged, this, &TabStrip::clicked);
}

void TabStrip::add(const QString &key, const QString &caption, int index)
{
    if (contains(key))
        raiseKeyTaken(key);
    if (index == 0)
        index = count() + 1;
    if (index < 1 || index > count() + 1)
        raiseBadIndex(index);
    // Not the user's choice: no clicked().
    const QSignalBlocker quiet(m_bar);
    const int at = m_bar->insertTab(index - 1, shownText(caption));
    m_bar->setTabData(at, QStringList{key, QString()});
}

void TabStrip::remove(const ItemRef &tab)
{
    const int at = position(tab);
    const QSignalBlocker quiet(m_bar);
    m_bar->removeTab(at);
}

void TabStrip::clear()
{
    const QSignalBlocker quiet(m_bar);
    while (m_bar->count() > 0)
        m_bar->removeTab(m_bar->count() - 1);
}

int TabStrip::count() const
{
    return m_bar->count();
}

int TabStrip::indexOfKey(const QString &key) const
{
    if (key.isEmpty())
        return 0;
    for (int i = 0; i < m_bar->count(); ++i) {
        if (field(m_bar, i, KeyField) == key)
            return i + 1;
    }
    return 0;
}

QString TabStrip::keyAt(int index) const
{
    return field(m_bar, position(index), KeyField);
}

QString TabStrip::selectedKey() const
{
    const int current = m_bar->currentIndex();
    return current < 0 ? QString() : field(m_bar, current, KeyField);
}

int TabStrip::selectedIndex() const
{
    return m_bar->currentIndex() + 1;
}

void TabStrip::select(const ItemRef &tab)
{
    m_bar->setCurrentIndex(position(tab));
}

QString TabStrip::caption(const ItemRef &tab) const
{
    QString text = m_bar->tabText(position(tab));
    return text.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

void TabStrip::setCaption(const ItemRef &tab, const QString &caption)
{
    m_bar->setTabText(position(tab), shownText(caption));
}

QString TabStrip::toolTip(const ItemRef &tab) const
{
    return m_bar->tabToolTip(position(tab));
}

void TabStrip::setToolTip(const ItemRef &tab, const QString &text)
{
    m_bar->setTabToolTip(position(tab), text);
}

QString TabStrip::image(const ItemRef &tab) const
{
    return field(m_bar, position(tab), ImageField);
}

void TabStrip::setImage(const ItemRef &tab, const QString &imageKey)
{
    const int at = position(tab);
    m_bar->setTabIcon(at, iconFromList(m_images, imageKey));
    setField(m_bar, at, ImageField, imageKey);
}

bool TabStrip::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_bar && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        emit mouseUp(mouse->button(), mouse->modifiers(), m_bar->mapTo(this, mouse->position().toPoint()));
    }
    return QWidget::eventFilter(watched, event);
}

void TabStrip::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

// 0-based position in the bar of the tab ref names; raises when there is none.
int TabStrip::position(const ItemRef &tab) const
{
    return resolveItemRef(tab, count(), [this](const QString &key) { return indexOfKey(key); }) - 1;
}

