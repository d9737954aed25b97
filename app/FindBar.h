#pragma once

#include <QWidget>

class BrowserControl;
class QLineEdit;
class QToolButton;

// A small bar over a page that finds text in it: Enter finds the next match,
// Shift+Enter the previous one, Esc closes the bar and clears the highlighting.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    // The page's find bar, created on first use, shown with the keyboard in it.
    static FindBar *showFor(BrowserControl *web);

    void findNext(bool backward);
    void closeBar();

    QLineEdit *txtFind = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit FindBar(BrowserControl *web);
    void placeInCorner();
    void showFound(bool found);

    BrowserControl *m_web;
};
