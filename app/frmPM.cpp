#include "app/frmPM.h"

#include "platform/ImageList.h"

frmPM::frmPM()
{
    setObjectName(QStringLiteral("frmPM"));
    imlMenu = new ImageList(this);
    imlMenu->setObjectName(QStringLiteral("imlMenu"));
}
