#pragma once

#include "core/FilesHost.h"
#include "platform/store/SettingsStore.h"

#include <QList>
#include <QStringList>

// Stands in for the main window where the file manager's dialogs ask it something:
// records the pages saved and the folders asked for, and stores `folder` under the
// key of each folder choice, as the choose-folder dialog's OK does.
class FakeFilesHost : public FilesHost
{
public:
    QWidget *dialogOwner() override { return nullptr; }
    ImageList *treeImages() override { return nullptr; }
    void applyOptions() override {}
    void SavePageAsHtml(const QString &path) override { saved.append(path); }
    void chooseFolder(const QString &settingKey, QWidget *owner) override
    {
        chosenKeys.append(settingKey);
        owners.append(owner);
        const int split = settingKey.lastIndexOf(QLatin1Char('\\'));
        SaveSetting(settingKey.left(split), settingKey.mid(split + 1), folder);
    }

    QStringList saved;
    QString folder = QStringLiteral("/data/Cíl/");
    QStringList chosenKeys;
    QList<QWidget *> owners;
};
