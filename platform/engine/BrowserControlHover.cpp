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
(function () {
    var bridge = null;
    // The link under the pointer and the one the keyboard is on, with the window each
    // opens in, are told from the start: the user may click before the channel is up.
    var linkReports = [];
    var told = {};
    // Told only when it changed: the pointer crosses many elements of one link.
    function tell(method, link) {
        var key = JSON.stringify(link);
        if (told[method] === key) return;
        told[method] = key;
        if (bridge) bridge[method](link); else linkReports.push([method, link]);
    }
    function has(o, name) { return o && (name in o) && o[name] !== undefined && o[name] !== null; }
    function read(o, name) { return has(o, name) ? String(o[name]) : null; }
    function linkOf(el) { return el && el.closest ? el.closest('a[href], area[href]') : null; }
    function described(link) {
        if (!link) return {};
        // The window a link opens in: its own target, else the document's.
        var base = document.querySelector('base[target]');
        return { href: String(link.href), target: link.target || (base ? base.target : '') };
    }
    document.addEventListener('mouseover', function (e) {
        if (!e.isTrusted) return;
        var el = e.target;
        if (!el || el.nodeType !== 1) return;
        tell('pointed', described(linkOf(el)));
        if (!bridge) return;
        var parent = el.parentElement;
        var tag = (el.tagName || '').toUpperCase();
        var selection = window.getSelection();
        bridge.hovered({
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
        tell('focused', described(linkOf(e.target)));
    }, true);
    new QWebChannel(qt.webChannelTransport, function (channel) {
        bridge = channel.objects.vorlanHover;
        // A pointer resting on a link since before these listeners is over it all the same.
        var hovered = document.querySelectorAll('a[href]:hover, area[href]:hover');
        if (hovered.length) linkReports.unshift(['pointed', described(hovered[hovered.length - 1])]);
        linkReports.forEach(function (report) { bridge[report[0]](report[1]); });
        linkReports = [];
    });
})();
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
    connect(bridge, &ElementHoverBridge::elementHovered, this, &BrowserControl::ElementHovered);
    connect(bridge, &ElementHoverBridge::linkPointed, this, [this](const QVariantMap &link) {
        m_pointedLink = link.value(QStringLiteral("href")).toString();
        m_pointedTarget = link.value(QStringLiteral("target")).toString();
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
