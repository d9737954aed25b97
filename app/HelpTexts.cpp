#include "app/HelpTexts.h"

#include "core/Version.h"

#include <QStringList>

namespace HelpTexts {

namespace {

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

QString aboutText()
{
    return QStringList{
        QStringLiteral("Verze: %1.%2, sestavení: %3").arg(Version::Major).arg(Version::Minor).arg(Version::Revision),
        QStringLiteral("Určeno pro Linux"),
        QString(),
        QStringLiteral("© 2003–2026 Projekt Vorlan"),
        QString(),
        QStringLiteral("Tento program je chráněn autorským zákonem a mezinárodními úmluvami,"),
        QStringLiteral("přestože je šířen zdarma."),
    }
        .join(QStringLiteral("\r\n"));
}

QString supportMailto()
{
    return QStringLiteral("mailto:podpora@vorlan.example?subject=Vorlan%202.4.%1%20Ceska%20verze"
                          "&body=Zde napiste Vas dotaz ci pripominku.")
        .arg(Version::Revision);
}

QString homePageAddress()
{
    return QStringLiteral("http://www.vorlan.example/?produkt=VRLN%1").arg(Version::Revision);
}

QString offlineLogText(bool ticked, bool offlineFileExists, bool onlineFileExists)
{
    // The import runs inside this process: there are no task ids to report.
    return boolText(ticked) + boolText(offlineFileExists) + boolText(onlineFileExists);
}

} // namespace HelpTexts
