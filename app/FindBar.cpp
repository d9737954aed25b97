#include "app/FindBar.h"

#include "platform/engine/BrowserControl.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>

FindBar::FindBar(BrowserControl *web)
    : QWidget(web)
    , m_web(web)
{
    setObjectName(QStringLiteral("FindBar"));
    setAutoFillBackground(true);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setPlaceholderText(QStringLiteral("Najít na stránce"));
    txtFind->installEventFilter(this);

    auto button = [this](const QString &text, const QString &toolTip) {
        auto *b = new QToolButton(this);
        b->setText(text);
        b->setToolTip(toolTip);
        return b;
    };
    QToolButton *previous = button(QStringLiteral("▲"), QStringLiteral("Předchozí výskyt (Shift+Enter)"));
    QToolButton *next = button(QStringLiteral("▼"), QStringLiteral("Další výskyt (Enter)"));
    QToolButton *close = button(QStringLiteral("✕"), QStringLiteral("Zavřít (Esc)"));
    connect(previous, &QToolButton::clicked, this, [this] { findNext(true); });
    connect(next, &QToolButton::clicked, this, [this] { findNext(false); });
    connect(close, &QToolButton::clicked, this, &FindBar::closeBar);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 4, 4, 4);
    row->addWidget(txtFind);
    row->addWidget(previous);
    row->addWidget(next);
    row->addWidget(close);
    // The bar stays in the page's corner when the window is resized.
    web->installEventFilter(this);
}

FindBar *FindBar::showFor(BrowserControl *web)
{
    auto *bar = web->findChild<FindBar *>(QString(), Qt::FindDirectChildrenOnly);
    if (!bar)
        bar = new FindBar(web);
    bar->placeInCorner();
    bar->show();
    bar->raise();
    bar->txtFind->setFocus(Qt::ShortcutFocusReason);
    bar->txtFind->selectAll();
    return bar;
}

void FindBar::placeInCorner()
{
    adjustSize();
    const int width = qMin(sizeHint().width() + 120, m_web->width());
    setGeometry(m_web->width() - width, 0, width, sizeHint().height());
}

void FindBar::findNext(bool backward)
{
    const QPointer<FindBar> self(this);
    m_web->findText(txtFind->text(), backward, [self](bool found) {
        if (self)
            self->showFound(found);
    });
}

void FindBar::showFound(bool found)
{
    const bool missing = !found && !txtFind->text().isEmpty();
    txtFind->setStyleSheet(missing ? QStringLiteral("QLineEdit { background: #ffd0d0; }") : QString());
}

void FindBar::closeBar()
{
    m_web->findText(QString(), false);
    hide();
    m_web->setFocusToPage();
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_web && event->type() == QEvent::Resize && isVisible()) {
        placeInCorner();
    } else if (watched == txtFind && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            findNext(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            closeBar();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
