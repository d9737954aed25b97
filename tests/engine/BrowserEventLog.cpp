#include "BrowserEventLog.h"

#include "platform/engine/BrowserControl.h"

BrowserEventLog::BrowserEventLog(BrowserControl *control)
    : QObject(control)
{
    connect(control, &BrowserControl::BeforeNavigate, this,
            [this](const QString &url, int, const QString &, const QVariant &, const QString &, bool &cancel) {
                add(QStringLiteral("BeforeNavigate"), url);
                if (cancelIf && cancelIf(url))
                    cancel = true;
            });
    connect(control, &BrowserControl::NavigateComplete, this,
            [this](const QString &url) { add(QStringLiteral("NavigateComplete"), url); });
    connect(control, &BrowserControl::DownloadComplete, this, [this] { add(QStringLiteral("DownloadComplete")); });
    connect(control, &BrowserControl::ProgressChange, this,
            [this](int progress, int max) { add(QStringLiteral("ProgressChange"), {}, progress, max); });
    connect(control, &BrowserControl::StatusTextChange, this,
            [this](const QString &text) { add(QStringLiteral("StatusTextChange"), text); });
    connect(control, &BrowserControl::TitleChange, this,
            [this](const QString &text) { add(QStringLiteral("TitleChange"), text); });
    connect(control, &BrowserControl::CommandStateChange, this,
            [this](int command, bool enable) { add(QStringLiteral("CommandStateChange"), {}, command, enable); });
    connect(control, &BrowserControl::NewWindow, this,
            [this](const QString &url, int, const QString &, const QVariant &, const QString &, bool &processed) {
                add(QStringLiteral("NewWindow"), url);
                processed = true;
            });
    connect(control, &BrowserControl::FrameNewWindow, this,
            [this](const QString &url, int, const QString &, const QVariant &, const QString &, bool &) {
                add(QStringLiteral("FrameNewWindow"), url);
            });
    connect(control, &BrowserControl::Quit, this, [this] { add(QStringLiteral("Quit")); });
}

void BrowserEventLog::add(const QString &name, const QString &text, int first, int second)
{
    m_events.push_back({name, text, first, second});
}

int BrowserEventLog::count(const QString &name) const
{
    return int(std::count_if(m_events.begin(), m_events.end(), [&](const BrowserEvent &e) { return e.name == name; }));
}

int BrowserEventLog::indexOf(const QString &name, int from) const
{
    for (int i = std::max(from, 0); i < int(m_events.size()); ++i) {
        if (m_events[i].name == name)
            return i;
    }
    return -1;
}

int BrowserEventLog::lastIndexOf(const QString &name) const
{
    for (int i = int(m_events.size()) - 1; i >= 0; --i) {
        if (m_events[i].name == name)
            return i;
    }
    return -1;
}

const BrowserEvent *BrowserEventLog::last(const QString &name) const
{
    const int index = lastIndexOf(name);
    return index < 0 ? nullptr : &m_events[index];
}

int BrowserEventLog::lastCommandState(int command) const
{
    for (auto it = m_events.rbegin(); it != m_events.rend(); ++it) {
        if (it->name == QLatin1String("CommandStateChange") && it->first == command)
            return it->second;
    }
    return -1;
}

std::string BrowserEventLog::describe() const
{
    std::string text;
    for (const BrowserEvent &e : m_events)
        text += QStringLiteral("%1 '%2' %3 %4\n").arg(e.name, e.text).arg(e.first).arg(e.second).toStdString();
    return text;
}
