#pragma once

#include <QObject>

class QLineEdit;

// Keeps the user from typing or pasting past the limit in a line edit, while a longer
// text set by the program stays whole (a maximum length would cut it at once). A
// keystroke that would pass the limit is dropped; a paste is cut to what still fits.
class TypingLimit : public QObject
{
public:
    TypingLimit(QLineEdit *edit, int limit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // How many characters may still come in place of the selection.
    int room() const;

    QLineEdit *m_edit;
    int m_limit;
};
