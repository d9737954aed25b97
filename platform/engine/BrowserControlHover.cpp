// The mouse-over of the top document, reported to the program over the web channel.
#include "platform/engine/BrowserControl.h"

#include "platform/engine/BrowserPage.h"
#include "platform/engine/ElementHoverBridge.h"

#include <QFile>
#include <QWebChannel>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace {

// Runs in the program's own world of the top document only, so neither the page's
// scripts nor its frames can reach the channel; events a script made up are ignored.
const char *const HoverScript = R"JS(
new QWebChannel(qt.webChannelTransport, function (channel) {
    var bridge = channel.objects.vorlanHover;
    function has(o, name) { return o && (name in o) && o[name] !== undefined && o[name] !== null; }
    function read(o, name) { return has(o, name) ? String(o[name]) : null; }
    function linkOf(el) { return el && el.closest ? el.closest('a[href], area[href]') : null; }
    // The window a link opens in: its own target, else the document's.
    function targetOf(link) {
        var base = document.querySelector('base[target]');
        return link.target || (base ? base.target : '');
    }
    document.addEventListener('mouseover', function (e) {
        if (!e.isTrusted) return;
        var el = e.target;
        if (!el || el.nodeType !== 1) return;
        var parent = el.parentElement;
        var tag = (el.tagName || '').toUpperCase();
        var selection = window.getSelection();
        var link = linkOf(el);
        bridge.hovered({
            linkTarget: link ? targetOf(link) : null,
            tag: tag,
            href: tag === 'IMG' ? read(el, 'src') : read(el, 'href'),
            size: read(el, 'size'), face: read(el, 'face'), color: read(el, 'color'),
            parentSize: read(parent, 'size'), parentFace: read(parent, 'face'), parentColor: read(parent, 'color'),
            name: read(el, 'name'), type: read(el, 'type'), parentAction: read(parent, 'action'),
            selectionType: selection ? selection.type : null
        });
    }, true);
    document.addEventListener('focusin', function (e) {
        if (!e.isTrusted) return;
        var link = linkOf(e.target);
        bridge.focused(link ? { href: String(link.href), target: targetOf(link) } : {});
    }, true);
});
)JS";

QString channelLibrary()
{
    QFile file(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

void BrowserControl::installElementHover()
{
    auto *bridge = new ElementHoverBridge(this);
    connect(bridge, &ElementHoverBridge::elementHovered, this, [this](const QVariantMap &element) {
        m_hoveredTarget = element.value(QStringLiteral("linkTarget")).toString();
        emit ElementHovered(element);
    });
    connect(bridge, &ElementHoverBridge::linkFocused, this, [this](const QVariantMap &link) {
        m_focusedLink = link.value(QStringLiteral("href")).toString();
        m_focusedTarget = link.value(QStringLiteral("target")).toString();
    });
    auto *channel = new QWebChannel(this);
    channel->registerObject(QStringLiteral("vorlanHover"), bridge);
    m_page->setWebChannel(channel, QWebEngineScript::ApplicationWorld);

    QWebEngineScript script;
    script.setName(QStringLiteral("vorlan-hover"));
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(channelLibrary() + QString::fromLatin1(HoverScript));
    m_page->scripts().insert(script);
}
