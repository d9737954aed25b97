#pragma once

#include <QObject>
#include <QVariantMap>

// The object the hover script of a page talks to over the web channel. It lives in
// the script world of the program, which the page's own scripts cannot see.
class ElementHoverBridge : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    Q_INVOKABLE void hovered(const QVariantMap &element) { emit elementHovered(element); }
    // The pointer, or the keyboard, moved onto a link ("href", "target": the window it
    // opens in) or off links (empty).
    Q_INVOKABLE void pointed(const QVariantMap &link) { emit linkPointed(link); }
    Q_INVOKABLE void focused(const QVariantMap &link) { emit linkFocused(link); }

signals:
    void elementHovered(const QVariantMap &element);
    void linkPointed(const QVariantMap &link);
    void linkFocused(const QVariantMap &link);
};
