#include "platform/controls/StatusPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>

StatusPanel::StatusPanel(QWidget *parent)
    : QFrame(parent)
    , m_pictureLabel(new QLabel(this))
    , m_textLabel(new QLabel(this))
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto *layout = new QHBoxLayout(this);
    // A panel only a little wider than its picture must show the whole picture: the
    // room beside the text belongs to the text alone, and an empty text takes none.
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pictureLabel);
    layout->addWidget(m_textLabel, 1);
    m_pictureLabel->setAlignment(Qt::AlignCenter);
    m_pictureLabel->hide();
    m_textLabel->setContentsMargins(2, 0, 2, 0);
    m_textLabel->setTextFormat(Qt::PlainText);
    m_textLabel->hide();
}

QString StatusPanel::text() const
{
    return m_textLabel->text();
}

void StatusPanel::setText(const QString &text)
{
    m_textLabel->setText(text);
    m_textLabel->setVisible(!text.isEmpty());
}

void StatusPanel::setPicture(const QIcon &picture)
{
    m_picture = picture;
    if (picture.isNull()) {
        m_pictureLabel->clear();
        m_pictureLabel->hide();
        return;
    }
    const int side = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    m_pictureLabel->setPixmap(picture.pixmap(QSize(side, side), devicePixelRatio()));
    m_pictureLabel->show();
}

void StatusPanel::mouseReleaseEvent(QMouseEvent *event)
{
    QFrame::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void StatusPanel::mouseDoubleClickEvent(QMouseEvent *event)
{
    QFrame::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}
