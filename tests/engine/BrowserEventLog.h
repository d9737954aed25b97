#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class BrowserControl;

struct BrowserEvent
{
    QString name;
    QString text; // the address, status text or title the event carried
    int first = 0;
    int second = 0;
};

// Records every event a browser control raises, in order, and answers its
// BeforeNavigate through a test's own rule.
class BrowserEventLog : public QObject
{
public:
    explicit BrowserEventLog(BrowserControl *control);

    std::function<bool(const QString &url)> cancelIf;

    const std::vector<BrowserEvent> &events() const { return m_events; }
    void clear() { m_events.clear(); }
    int count(const QString &name) const;
    // Index of the first event of that name at or after from; -1 when there is none.
    int indexOf(const QString &name, int from = 0) const;
    int lastIndexOf(const QString &name) const;
    const BrowserEvent *last(const QString &name) const;
    // The last state CommandStateChange gave for the command; -1 when never raised.
    int lastCommandState(int command) const;
    // One line per event, for failure messages.
    std::string describe() const;

private:
    void add(const QString &name, const QString &text = {}, int first = 0, int second = 0);

    std::vector<BrowserEvent> m_events;
};
