// This room holds the main panel that shows one pane at a time, its rules, and the
// hidden pop-up host frmPM that every pane's room may use; it uses no pane's room.
#include "app/frmMain.h"

#include "app/MainGeometry.h"
#include "app/panel/PanelRules.h"
#include "app/panel/frmPM.h"
#include "browser/frmWeb.h"
#include "core/SharedState.h"
#include "platform/engine/BrowserControl.h"
#include "platform/system/ErrorState.h"
#include "platform/controls/Forms.h"
#include "platform/controls/ImageCombo.h"
#include "platform/controls/ListView.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/Toolbar.h"
#include "platform/controls/TreeView.h"
#include "platform/system/Units.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeWidget>

#include <algorithm>

using Units::pixelsToTwips;
using Units::twipsToPixels;

namespace {

// Designed positions inside the panes, in twips; the layout keeps them.
constexpr int kStatusBarHeight = 300;
constexpr int kGripWidth = 60;

QFrame *paneContainer(QWidget *parent, int index)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("picUn%1").arg(index));
    frame->hide();
    return frame;
}

void releaseButton(Toolbar *bar, const char *key, bool pressed)
{
    bar->button(QString::fromLatin1(key)).setValue(pressed ? 1 : 0);
}

} // namespace

void frmMain::createPanel(QWidget *parent)
{
    picMain = new QWidget(parent);
    picMain->setObjectName(QStringLiteral("picMain"));
    picMain->setFixedWidth(twipsToPixels(4905));
    picMain->setFocusPolicy(Qt::StrongFocus);

    fraBorder = new QFrame(picMain);
    fraBorder->setObjectName(QStringLiteral("fraBorder"));
    fraTop = new QFrame(fraBorder);
    fraTop->setObjectName(QStringLiteral("fraTop"));
    fraTop->setGeometry(0, 0, twipsToPixels(4845), twipsToPixels(480));
    tbMainPane = new QLabel(QStringLiteral("Oblíbené"), fraTop);
    tbMainPane->setObjectName(QStringLiteral("tbMainPane"));
    tbMainPane->setToolTip(QStringLiteral("Přepnout zobrazení panelu (dvojklik, F12)"));
    tbMainPane->move(twipsToPixels(120), twipsToPixels(120));
    tbMainPane->setMouseTracking(true);
    QFont titleFont = tbMainPane->font();
    titleFont.setBold(true);
    tbMainPane->setFont(titleFont);
    picClose = new QWidget(fraTop);
    picClose->setObjectName(QStringLiteral("picClose"));
    picClose->setGeometry(0, twipsToPixels(120), twipsToPixels(300), twipsToPixels(330));
    if (tbToolbar[0]) {
        tbToolbar[0]->setParent(picClose);
        tbToolbar[0]->move(0, 0);
        tbToolbar[0]->show();
    }

    for (int i = 1; i <= 4; ++i)
        picUn[i] = paneContainer(fraBorder, i);

    trwFavorites = new TreeView(picUn[1]);
    trwFavorites->setObjectName(QStringLiteral("trwFavorites"));

    trwPath = new TreeView(picUn[2]);
    trwPath->setObjectName(QStringLiteral("trwPath"));
    sbFileBar = new StatusBar(picUn[2]);
    sbFileBar->setObjectName(QStringLiteral("sbFileBar"));
    sbFileBar->addPanel(QStringLiteral("nav"), 22, PanelAutoSize::None);
    sbFileBar->addPanel(QString(), 100, PanelAutoSize::Spring);

    createSearchPane();

    lstLinks = new ListView(picUn[4]);
    lstLinks->setObjectName(QStringLiteral("lstLinks"));

    imgSplitter = new QLabel(picMain);
    imgSplitter->setObjectName(QStringLiteral("imgSplitter"));
    imgSplitter->setCursor(Qt::SizeHorCursor);
    imgSplitter->setMouseTracking(true);
    picSplitter = new QWidget(parent);
    picSplitter->setObjectName(QStringLiteral("picSplitter"));
    picSplitter->setAutoFillBackground(true);
    QPalette grey = picSplitter->palette();
    grey.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    picSplitter->setPalette(grey);
    picSplitter->setCursor(Qt::SplitHCursor);
    picSplitter->hide();

    mnuViewMainPanel->setChecked(true);
    for (int i = 1; i <= 6; ++i)
        mnuViewPane[i] = menuItem(QStringLiteral("mnuViewPane%1").arg(i));
    mnuViewPane[1]->setChecked(true);
}

Toolbar *frmMain::addPaneToolbar(QWidget *pane, const QString &name, const PaneToolbarButton &line, ButtonStyle style,
                                 QRect &row)
{
    auto *bar = new Toolbar(pane);
    bar->setObjectName(name);
    if (imlToolbarGray)
        bar->setImageList(imlToolbarGray);
    if (imlToolbar)
        bar->setHotImageList(imlToolbar);
    ToolbarButton &button = bar->addButton(QLatin1String(line.key), QString::fromUtf8(line.caption), style,
                                           imlToolbarGray ? QLatin1String(line.image) : QString());
    button.setToolTip(QString::fromUtf8(line.toolTip));
    const QSize size = bar->sizeHint();
    bar->setGeometry(row.right() + 1, 0, size.width(), size.height());
    row = row.united(bar->geometry());
    return bar;
}

void frmMain::connectPanel()
{
    for (int i = 1; i <= 6; ++i)
        connect(mnuViewPane[i], &QAction::triggered, this, [this, i] { mnuViewPane_Click(i); });
    for (QObject *watched : std::initializer_list<QObject *>{picMain, tbMainPane, imgSplitter})
        watched->installEventFilter(this);
    // The splitter lets the panel grow to 690 twips short of the window's edge; the
    // window area beside it takes what is left, so its own minimum width must never
    // push the main window wider.
    mdiArea->setMinimumWidth(1);
}

bool frmMain::filterPanelEvent(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == picMain) {
        if (type == QEvent::Resize)
            picMain_Resize();
        else if (type == QEvent::FocusIn)
            picMain_GotFocus();
        return false;
    }
    if (watched == tbMainPane) {
        if (type == QEvent::MouseButtonDblClick) {
            tbMainPane_DblClick();
            return true;
        }
        if (type == QEvent::MouseMove) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->buttons() == Qt::RightButton)
                runIgnoringErrors([&] { Forms::get<frmPM>()->mnuPaneView->popup(mouse->globalPosition().toPoint()); });
        }
        return false;
    }
    if (watched == picWindows && type == QEvent::MouseMove) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->buttons() == Qt::RightButton)
            runIgnoringErrors([&] { mnuwindow->popup(mouse->globalPosition().toPoint()); });
        return false;
    }
    if (watched == imgSplitter) {
        if (type == QEvent::MouseButtonPress)
            imgSplitter_MouseDown();
        else if (type == QEvent::MouseMove)
            imgSplitter_MouseMove(pixelsToTwips(Units::roundHalfEvenToInt(static_cast<QMouseEvent *>(event)->position().x())));
        else if (type == QEvent::MouseButtonRelease)
            imgSplitter_MouseUp();
        else
            return false;
        return true;
    }
    return false;
}

int frmMain::shownPane() const
{
    std::array<bool, 5> visible{};
    for (int i = 1; i <= 4; ++i)
        visible[i] = picUn[i] && !picUn[i]->isHidden();
    return PanelRules::firstShownPane(visible);
}

void frmMain::mnuViewMainPanel_Click()
{
    IgnoreErrors ignore;
    Toolbar *bar = tbToolbar[1];
    if (!picMain->isHidden()) {
        // The keyboard leaves the panel for the window it goes to anyway before the panel
        // hides, so that it never passes through another control on the way.
        ignore([this] {
            if (shared().WindowCount > 0 && picMain->isAncestorOf(QApplication::focusWidget()))
                requireActiveForm()->Web->setFocusToPage();
        });
        picMain->hide();
        mnuViewMainPanel->setChecked(false);
        ignore([bar] { releaseButton(bar, "favorites", false); });
        ignore([bar] { releaseButton(bar, "folders", false); });
        ignore([this] {
            if (shared().WindowCount > 0)
                requireActiveForm()->Web->setFocusToPage();
        });
        return;
    }
    picMain->show();
    mnuViewMainPanel->setChecked(true);
    ignore([this, bar] {
        if (picUn[1]->isHidden())
            return;
        releaseButton(bar, "favorites", true);
        if (!shared().FavoritesLoaded)
            LoadFavorites();
    });
    ignore([this, bar] {
        if (picUn[2]->isHidden())
            return;
        releaseButton(bar, "folders", true);
        if (!shared().FileTreeLoaded)
            LoadFileTree();
    });
}

void frmMain::mnuViewPane_Click(int Index)
{
    choosePane(Index, PaneChoice::ViewMenu);
}

namespace {
void tickOnly(const std::array<QAction *, 7> &items, int index)
{
    for (int i = 1; i <= 6; ++i)
        items[i]->setChecked(false);
    if (index < 1 || index > 6)
        raiseError(ErrorNumber::SubscriptOutOfRange);
    items[index]->setChecked(true);
}
} // namespace

void frmMain::choosePane(int Index, PaneChoice how)
{
    IgnoreErrors ignore;
    const auto showPanel = [this] {
        picMain->show();
        mnuViewMainPanel->setChecked(true);
    };
    const auto tickViewMenu = [this, Index] { tickOnly(mnuViewPane, Index); };
    const auto tickPopup = [Index] { tickOnly(Forms::get<frmPM>()->mnuPaneViewItem, Index); };
    const auto switchContainers = [this, Index] {
        // The chosen container shows before the others hide, so that the keyboard leaving
        // a hidden pane goes to the chosen one's list, not through the address field.
        if (Index >= 1 && Index <= 4)
            picUn[Index]->show();
        for (int i = 1; i <= 4; ++i) {
            if (i != Index)
                picUn[i]->hide();
        }
        if (Index < 1 || Index > 4)
            raiseError(ErrorNumber::SubscriptOutOfRange); // panes 5 and 6 have no container
    };
    const auto setButtons = [this, Index] {
        releaseButton(tbToolbar[1], "favorites", Index == 1);
        releaseButton(tbToolbar[1], "folders", Index == 2);
    };
    if (how == PaneChoice::ViewMenu) {
        ignore(showPanel);
        ignore(tickViewMenu);
        ignore(tickPopup);
        ignore(switchContainers);
    } else {
        ignore(tickPopup);
        ignore(switchContainers);
        ignore(tickViewMenu);
    }
    ignore(setButtons);

    const QString title = PanelRules::paneTitle(Index, shared().NavOnSelect);
    if (!title.isEmpty())
        tbMainPane->setText(title);
    switch (Index) {
    case 1:
        ignore([this] { if (!shared().FavoritesLoaded) LoadFavorites(); });
        trwFavorites->treeWidget()->setFocus();
        break;
    case 2:
        ignore([this] { if (!shared().FileTreeLoaded) LoadFileTree(); });
        trwPath->treeWidget()->setFocus();
        break;
    case 3:
        ignore([this] { if (!shared().SearchPaneReady) initSearchForFiles(); });
        lstResults->setFocus();
        break;
    case 4:
        lstLinks->setFocus();
        break;
    default:
        break;
    }
}

void frmMain::showNextPane()
{
    const int pane = shownPane();
    if (pane != 0)
        mnuViewPane_Click(PanelRules::nextPane(pane));
}

void frmMain::tbMainPane_DblClick()
{
    showNextPane();
}

void frmMain::picMain_GotFocus()
{
    runIgnoringErrors([this] {
        switch (shownPane()) {
        case 1: trwFavorites->treeWidget()->setFocus(); break;
        case 2: trwPath->treeWidget()->setFocus(); break;
        case 3: lstResults->setFocus(); break;
        case 4: lstLinks->setFocus(); break;
        default: break;
        }
    });
}

void frmMain::picMain_Resize()
{
    if (!shared().MainFormLoaded)
        return;
    IgnoreErrors ignore;
    const int inner = pixelsToTwips(picMain->width());
    const PanelRules::PanelGeometry g =
            PanelRules::panelGeometry(inner, pixelsToTwips(picMain->height()), pixelsToTwips(picMain->height()), kGripWidth);
    ignore([&] {
        fraBorder->setGeometry(0, 0, twipsToPixels(g.borderWidth), twipsToPixels(g.borderHeight));
        fraTop->resize(twipsToPixels(g.topWidth), fraTop->height());
        for (int i = 1; i <= 4; ++i)
            picUn[i]->setGeometry(twipsToPixels(g.paneLeft), twipsToPixels(g.paneTop), twipsToPixels(g.paneWidth), twipsToPixels(g.paneHeight));
    });
    const int listWidth = twipsToPixels(g.paneWidth + 30);
    ignore([&] {
        // The pane's toolbars sit above the tree, which keeps its top; the status bar
        // keeps to the foot of the pane, where nothing cuts it.
        const int top = trwPath->y();
        const int barHeight = twipsToPixels(kStatusBarHeight);
        const int barTop = picUn[2]->height() - barHeight;
        trwPath->setGeometry(0, top, listWidth, std::max(0, barTop - top));
        sbFileBar->setGeometry(0, barTop, twipsToPixels(g.paneWidth), barHeight);
    });
    ignore([&] {
        // The links pane's toolbars sit above the list, which keeps its top.
        const int top = lstLinks->y();
        lstLinks->setGeometry(0, top, listWidth, twipsToPixels(PanelRules::listHeight(g, pixelsToTwips(top), 0)));
    });
    ignore([&] {
        // The favorites pane's toolbars sit above the tree, which keeps its top.
        const int top = trwFavorites->y();
        trwFavorites->setGeometry(0, top, listWidth, twipsToPixels(PanelRules::listHeight(g, pixelsToTwips(top), 0)));
    });
    ignore([&] { placeSearchPane(g.paneWidth, g.paneHeight); });
    ignore([&] {
        imgSplitter->setGeometry(twipsToPixels(g.gripLeft), 0, twipsToPixels(kGripWidth), twipsToPixels(g.gripHeight));
        imgSplitter->raise();
        picSplitter->setGeometry(QRect(picMain->mapTo(picSplitter->parentWidget(), imgSplitter->pos()),
                                       imgSplitter->size()));
    });
    ignore([&] {
        picClose->move(twipsToPixels(g.closeLeft), picClose->y());
        tbMainPane->resize(twipsToPixels(g.titleWidth), tbMainPane->height());
    });
}

int frmMain::normalWidth() const
{
    if (MainGeometry::stateCode(windowState()) == 0)
        return width();
    return std::min(width(), normalGeometry().width());
}

void frmMain::imgSplitter_MouseDown()
{
    ErrorState::clear();
    picSplitter->show();
    SplitterMoving = true;
    picSplitter->raise();
}

void frmMain::imgSplitter_MouseMove(int x)
{
    if (!SplitterMoving)
        return;
    IgnoreErrors ignore;
    const int panelLeft = picMain->mapTo(picSplitter->parentWidget(), QPoint()).x();
    ignore([&] {
        const QString tip = PanelRules::splitterToolTip(pixelsToTwips(picSplitter->x() - panelLeft));
        picSplitter->setToolTip(tip);
        imgSplitter->setToolTip(tip);
    });
    ignore([&] {
        const int left = PanelRules::splitterBarLeft(pixelsToTwips(imgSplitter->x()), x, pixelsToTwips(normalWidth()));
        picSplitter->move(panelLeft + twipsToPixels(left), picSplitter->y());
    });
}

void frmMain::imgSplitter_MouseUp()
{
    IgnoreErrors ignore;
    picSplitter->hide();
    ignore([this] {
        const int panelLeft = picMain->mapTo(picSplitter->parentWidget(), QPoint()).x();
        picMain->setFixedWidth(twipsToPixels(PanelRules::panelWidthAfterDrag(pixelsToTwips(picSplitter->x() - panelLeft))));
    });
    SplitterMoving = false;
}

QList<QWidget *> frmMain::focusStops() const
{
    QList<QWidget *> stops;
    if (picMain->isVisible()) {
        switch (shownPane()) {
        case 1: stops << trwFavorites->treeWidget(); break;
        case 2: stops << trwPath->treeWidget(); break;
        case 3: stops << comWhat << comText << comWhere << lstResults; break;
        case 4: stops << lstLinks; break;
        default: break;
        }
    }
    stops << txtAddress;
    if (frmWeb *active = ActiveForm())
        stops << active->Web;
    stops.removeIf([](const QWidget *stop) { return !stop || !stop->isVisible() || !stop->isEnabled(); });
    return stops;
}

bool frmMain::focusNextPrevChild(bool next)
{
    // A fixed round, so that the keyboard never rests on the empty panel. A pane or
    // panel that hides with the keyboard in it hands it on through this round too: never
    // to a browser window that is not the active one, which taking it would make active.
    const QList<QWidget *> stops = focusStops();
    if (stops.isEmpty())
        return QMainWindow::focusNextPrevChild(next);
    const QWidget *focus = QApplication::focusWidget();
    const auto holds = [focus](const QWidget *widget) { return focus && (focus == widget || widget->isAncestorOf(focus)); };
    qsizetype at = -1;
    for (qsizetype i = 0; i < stops.size(); ++i)
        if (holds(stops[i]))
            at = i;
    qsizetype target;
    // Leaving a pane that hides is no Tab: a field it lands on keeps its text unselected.
    Qt::FocusReason reason = next ? Qt::TabFocusReason : Qt::BacktabFocusReason;
    if (at >= 0)
        target = (at + (next ? 1 : stops.size() - 1)) % stops.size();
    else {
        // Anywhere else, the panel's own controls among it, the round starts afresh.
        target = next ? 0 : stops.size() - 1;
        if (holds(picMain))
            reason = Qt::OtherFocusReason;
    }
    QWidget *stop = stops[target];
    if (frmWeb *active = ActiveForm(); active && stop == active->Web)
        active->Web->setFocusToPage();
    else
        stop->setFocus(reason);
    return true;
}
