#include "app/frmSplash.h"

#include "platform/system/ErrorState.h"
#include "platform/controls/Forms.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// Half of the splash's outer size in pixels: the window is centred on the screen.
constexpr int kHalfOuterWidth = 158;
constexpr int kHalfOuterHeight = 28;
// The window draws its own raised border of three pixels around the client area.
constexpr int kBorder = 3;
} // namespace

frmSplash::frmSplash()
    : QFrame(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Spouštění programu…"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(kBorder);
    setFixedSize(2 * kHalfOuterWidth, 2 * kHalfOuterHeight);

    Label1 = new QLabel(QStringLiteral("Spouští se Vorlan 2.4 …"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Label1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(150);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(2000);
    connect(Timer2, &QTimer::timeout, this, &frmSplash::Timer2_Timer);
    Timer1->start();
    Timer2->start();

    Form_Load();
}

QPoint frmSplash::centredPosition(const QSize &screenPixels)
{
    return {screenPixels.width() / 2 - kHalfOuterWidth, screenPixels.height() / 2 - kHalfOuterHeight};
}

void frmSplash::setCaptionText(const QString &text)
{
    Label1->setText(text);
}

QString frmSplash::captionText() const
{
    return Label1->text();
}

void frmSplash::Form_Load()
{
    IgnoreErrors ignore;
    QCoreApplication::processEvents();
    ignore([this] {
        const QScreen *screen = QGuiApplication::primaryScreen();
        if (screen)
            move(centredPosition(screen->geometry().size()));
    });
    hide();
}

void frmSplash::Timer1_Timer()
{
    ErrorState::clear();
    // The splash may be unloaded while the events run.
    const QPointer<frmSplash> self(this);
    QCoreApplication::processEvents();
    if (!self)
        return;
    Label1->setText(QStringLiteral("Načítání uživatelských nastavení..."));
}

void frmSplash::Timer2_Timer()
{
    hide();
}

void frmSplash::Label1_DblClick()
{
    Forms::unload<frmSplash>();
}

bool frmSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label1 && event->type() == QEvent::MouseButtonDblClick) {
        Label1_DblClick();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}
