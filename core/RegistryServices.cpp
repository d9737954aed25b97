#include "core/RegistryServices.h"

#include "platform/store/RegFileFormat.h"
#include "platform/store/RegistryRead.h"

QString RegGetString(RegRoot root, const QString &subKey, const QString &valueName, const QString &defaultValue)
{
    const std::optional<RegValue> value = RegistryRead::value(root, subKey, valueName);
    if (!value || value->type != RegType::String)
        return defaultValue;
    const qsizetype nul = value->data.indexOf('\0');
    return RegFileFormat::textFromBytes(nul < 0 ? value->data : value->data.left(nul));
}

void RegSetString(RegRoot root, const QString &subKey, const QString &valueName, const QString &value)
{
    // A failure must neither escape nor touch the caller's current error.
    try {
        Registry::instance().setValue(root, subKey, valueName, RegValue{RegType::String, value.toUtf8() + '\0'});
    } catch (...) {
    }
}

qint32 RegGetDword(RegRoot root, const QString &subKey, const QString &valueName, qint32 defaultValue)
{
    return RegistryRead::dword(root, subKey, valueName).value_or(defaultValue);
}
