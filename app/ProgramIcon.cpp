#include "app/ProgramIcon.h"

#include <QPixmap>

#include "resources/vorlan.xpm"

QIcon programIcon()
{
    return QIcon(QPixmap(vorlan_xpm));
}
