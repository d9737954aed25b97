#pragma once

#include "Waits.h"
#include "BrowserEventLog.h"
#include "TestEnvironment.h"

#include "platform/engine/BrowserControl.h"
#include "platform/engine/EngineProfile.h"

#include <QCoreApplication>
#include <QTest>
#include <QUrl>

#include <functional>
#include <memory>
#include <vector>

// Engine tests: a fresh profile under the test's temporary home, controls that are
// gone before the profile is, and pages written into the temporary folder.
class EngineTest : public TempEnvTest
{
protected:
    // Generous: the first page of a run also starts the engine's processes.
    static constexpr int kDeadlineMs = 30000;

    void SetUp() override
    {
        // The shader cache would fix its folder in the first test's temporary home and
        // write there after that home is gone.
        QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
        EngineProfile::resetInstance();
    }

    void TearDown() override
    {
        failOnOpenDialogs("when the test ended");
        logs.clear();
        controls.clear();
        EngineProfile::resetInstance();
    }

    BrowserControl &newControl()
    {
        controls.push_back(std::make_unique<BrowserControl>());
        controls.back()->resize(640, 480);
        controls.back()->show();
        logs.push_back(new BrowserEventLog(controls.back().get()));
        return *controls.back();
    }

    BrowserEventLog &logOf(size_t index) { return *logs.at(index); }

    // Writes a page into the temporary folder and returns its absolute path.
    QString writePage(const QString &name, const QByteArray &html)
    {
        return env.writeFile(QStringLiteral("pages/") + name, html);
    }

    static QString fileUrl(const QString &path) { return QUrl::fromLocalFile(path).toString(); }

    static bool waitUntil(const std::function<bool()> &condition)
    {
        return waitFor(condition, kDeadlineMs);
    }

    // Navigates and waits until that load has ended.
    bool navigateAndWait(BrowserControl &control, BrowserEventLog &log, const QString &text)
    {
        const int before = log.count(QStringLiteral("DownloadComplete"));
        control.Navigate(text);
        return waitUntil([&] { return log.count(QStringLiteral("DownloadComplete")) > before; });
    }

    std::vector<std::unique_ptr<BrowserControl>> controls;
    std::vector<BrowserEventLog *> logs; // owned by their controls
};
