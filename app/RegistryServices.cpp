#include "app/RegistryServices.h"

#include "platform/RegFileFormat.h"

#include <QtEndian>

#include <optional>

namespace {

// The registry functions report nothing, so a failure of the emulated registry
// (an unreadable or unwritable file) must neither escape nor touch the caller's
// current error, which the caller may still be about to log.
std::optional<RegValue> readValue(RegRoot root, const QString &subKey, const QString &valueName)
{
    try {
        return Registry::instance().value(root, subKey, valueName);
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace

QString RegGetString(RegRoot root, const QString &subKey, const QString &valueName, const QString &defaultValue)
{
    const std::optional<RegValue> value = readValue(root, subKey, valueName);
    if (!value || value->type != RegType::String)
        return defaultValue;
    const qsizetype nul = value->data.indexOf('\0');
    return RegFileFormat::textFromBytes(nul < 0 ? value->data : value->data.left(nul));
}

void RegSetString(RegRoot root, const QString &subKey, const QString &valueName, const QString &value)
{
    try {
        Registry::instance().setValue(root, subKey, valueName, RegValue{RegType::String, value.toUtf8() + '\0'});
    } catch (...) {
    }
}

qint32 RegGetDword(RegRoot root, const QString &subKey, const QString &valueName, qint32 defaultValue)
{
    const std::optional<RegValue> value = readValue(root, subKey, valueName);
    if (!value || value->type != RegType::Dword || value->data.size() != 4)
        return defaultValue;
    return qFromLittleEndian<qint32>(value->data.constData());
}
