#include "platform/store/RegistryRead.h"

#include "platform/store/RegistryKeys.h"

#include <QtEndian>

namespace RegistryRead {

std::optional<RegValue> value(RegRoot root, const QString &subKey, const QString &name)
{
    try {
        return Registry::instance().value(root, subKey, name);
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<qint32> dword(RegRoot root, const QString &subKey, const QString &name)
{
    const std::optional<RegValue> found = value(root, subKey, name);
    if (!found || found->type != RegType::Dword || found->data.size() != 4)
        return std::nullopt;
    return qFromLittleEndian<qint32>(found->data.constData());
}

QStringList valueNames(RegRoot root, const QString &subKey)
{
    try {
        return Registry::instance().valueNames(root, subKey);
    } catch (...) {
        return {};
    }
}

bool isOffline()
{
    return dword(HKEY_CURRENT_USER, RegKeys::InternetSettings, RegValueNames::GlobalUserOffline) == 1;
}

} // namespace RegistryRead
