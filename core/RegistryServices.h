#pragma once

#include "platform/store/RegistryKeys.h"

#include <QString>

// The three registry functions the whole program uses. None of them raises or
// reports a failure: reads give their default, writes simply have no effect.
QString RegGetString(RegRoot root, const QString &subKey, const QString &valueName, const QString &defaultValue = QString());
void RegSetString(RegRoot root, const QString &subKey, const QString &valueName, const QString &value);
qint32 RegGetDword(RegRoot root, const QString &subKey, const QString &valueName, qint32 defaultValue = 0);
