#include "app/frmS.h"

#include "app/saving/PageSaveAs.h"
#include "platform/controls/MessageBox.h"
#include "platform/engine/BrowserControl.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

frmS::frmS()
{
    setObjectName(QStringLiteral("frmS"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Probíhá ukládání"));
    Label1 = new QLabel(QStringLiteral("Probíhá ukládání stránky..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    wbr = new BrowserControl(this);
    wbr->setObjectName(QStringLiteral("wbr"));
    auto *column = new QVBoxLayout(this);
    column->addWidget(Label1);
    column->addWidget(wbr, 1);
    resize(360, 240);
    connect(wbr, &BrowserControl::DownloadComplete, this, &frmS::wbr_DownloadComplete);
}

void frmS::start(const QString &address)
{
    show();
    wbr->Navigate(address);
}

void frmS::wbr_DownloadComplete()
{
    if (m_loadEnded)
        return;
    m_loadEnded = true;
    // No dialog opens inside the engine's report.
    QTimer::singleShot(0, this, &frmS::offerSave);
}

void frmS::offerSave()
{
    // A page that did not load would be saved as the engine's error page.
    if (!wbr->lastLoadSucceeded()) {
        MsgBox(PageSaveAs::FailedMessage, MsgBoxStyle::Critical, QStringLiteral("Uživatelská chyba"));
        return finish();
    }
    const QString target = PageSaveAs::askTarget(wbr->LocationName());
    if (target.isEmpty())
        return finish();
    PageSaveAs::save(wbr, target, [self = QPointer<frmS>(this)](bool) {
        if (self)
            self->finish();
    });
}

void frmS::finish()
{
    emit finished();
    close();
}
