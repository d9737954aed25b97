// Image zoom of a browser window that shows an image by itself.
#include "browser/frmWeb.h"

#include "core/ErrorLog.h"
#include "platform/engine/BrowserControl.h"
#include "platform/system/ErrorState.h"
#include "platform/system/Units.h"

#include <QPointer>

using ZoomMath::ImageSize;

namespace {

// The image's size as shown, then its own size (what the file holds). Until a zoom of
// ours has sized it the image counts as shown at its own size.
const char *const ReadImageScript = R"JS((function () {
    var img = document.images[0];
    if (!img) return null;
    var w = img.naturalWidth || img.width, h = img.naturalHeight || img.height;
    if (img.hasAttribute('data-vorlan-zoom')) return [img.width, img.height, w, h];
    return [w, h, w, h];
})())JS";

// The engine shrinks an image shown by itself to fit the window, and again on every
// resize, which no percentage of ours would account for: such an image shows at its
// own size until a zoom of ours sizes it.
const char *const OwnSizeScript = R"JS((function () {
    if (String(document.contentType).indexOf('image/') !== 0 || document.getElementById('vorlan-own-size'))
        return null;
    var rule = document.createElement('style');
    rule.id = 'vorlan-own-size';
    rule.textContent = 'img:not([data-vorlan-zoom]){width:auto !important;height:auto !important;' +
        'max-width:none !important;max-height:none !important;cursor:default !important;}';
    (document.head || document.documentElement).appendChild(rule);
    return null;
})())JS";

// The engine refits a lone image on every resize; a style rule survives it.
const char *const SetImageScript = R"JS((function (w, h) {
    var img = document.images[0];
    if (!img) return null;
    img.setAttribute('data-vorlan-zoom', '');
    var rule = document.getElementById('vorlan-zoom');
    if (!rule) {
        rule = document.createElement('style');
        rule.id = 'vorlan-zoom';
        (document.head || document.documentElement).appendChild(rule);
    }
    rule.textContent = 'img[data-vorlan-zoom]{width:' + w + 'px !important;height:' + h +
        'px !important;max-width:none !important;max-height:none !important;}';
    return [img.width, img.height];
})(%1, %2))JS";

// A script's [width, height, ...] from the given position on.
bool sizeFrom(const QVariant &result, ImageSize &size, int at = 0)
{
    const QVariantList values = result.toList();
    if (values.size() < at + 2)
        return false;
    size = {values[at].toInt(), values[at + 1].toInt()};
    return size.width > 0 && size.height > 0;
}

} // namespace

void frmWeb::resetZoomAfterDownload()
{
    Zoom.resetAll();
    ++m_zoomGeneration;
    Web->runScript(QString::fromLatin1(OwnSizeScript), {}, ScriptWorld::Application);
}

void frmWeb::resetZoomAfterNavigate()
{
    Zoom.resetTwips();
    Web->runScript(QString::fromLatin1(OwnSizeScript), {}, ScriptWorld::Application);
}

// Hands on the image's size as shown, its own size taken as the original first: a
// percentage is always one of the image's own size.
void frmWeb::withImage(const std::function<void(ImageSize)> &then)
{
    const QPointer<frmWeb> self(this);
    const int generation = m_zoomGeneration;
    Web->runScript(QString::fromLatin1(ReadImageScript), [self, generation, then](const QVariant &result) {
        ImageSize shown;
        ImageSize own;
        if (!self || self->m_zoomGeneration != generation || !sizeFrom(result, shown) || !sizeFrom(result, own, 2))
            return;
        self->Zoom.measureOriginal(own);
        then(shown);
    }, ScriptWorld::Application);
}

void frmWeb::setImageSize(ImageSize size, const std::function<void(ImageSize)> &then)
{
    const QPointer<frmWeb> self(this);
    const int generation = m_zoomGeneration;
    const QString script = QString::fromLatin1(SetImageScript).arg(size.width).arg(size.height);
    Web->runScript(script, [self, generation, then](const QVariant &result) {
        ImageSize shown;
        if (then && self && self->m_zoomGeneration == generation && sizeFrom(result, shown))
            then(shown);
    }, ScriptWorld::Application);
}

void frmWeb::ZoomFrames(int percent)
{
    withImage([this, percent](ImageSize) {
        setImageSize(ZoomMath::atPercent(Zoom, percent), {});
    });
}

void frmWeb::ZoomImg()
{
    withImage([this](ImageSize image) {
        Zoom.measureTwips(image);
        const int roomW = ZoomMath::roomFor(Units::pixelsToTwips(Web->width()));
        const int roomH = ZoomMath::roomFor(Units::pixelsToTwips(Web->height()));
        const ImageSize fitted = ZoomMath::autoFit(Zoom, image, roomW, roomH);
        auto show = [this](ImageSize shown) {
            runIgnoringErrors([&] { emit ZoomChanged(ZoomMath::percentOf(shown.height, Zoom.origHeight)); });
        };
        if (fitted == image)
            show(image);
        else
            setImageSize(fitted, show);
    });
}

void frmWeb::ZoomNow()
{
    withImage([this](ImageSize image) {
        IgnoreErrors ignore;
        ImageSize fitted;
        const bool measured = ignore([&] {
            fitted = ZoomMath::fitNow(image, ZoomMath::roomFor(Units::pixelsToTwips(Web->width())),
                                      ZoomMath::roomFor(Units::pixelsToTwips(Web->height())));
        });
        if (!measured) {
            LogError(QStringLiteral("ZoomNow"));
            return;
        }
        setImageSize(fitted, [this](ImageSize shown) {
            IgnoreErrors ignore;
            ignore([&] { emit ZoomChanged(ZoomMath::percentOf(shown.height, Zoom.origHeight)); });
            if (ErrorState::isSet())
                LogError(QStringLiteral("ZoomNow"));
        });
    });
}
