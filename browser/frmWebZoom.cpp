// Image zoom of a browser window that shows an image by itself.
#include "browser/frmWeb.h"

#include "core/ErrorLog.h"
#include "platform/BrowserControl.h"
#include "platform/ErrorState.h"
#include "platform/Units.h"

#include <QPointer>

using ZoomMath::ImageSize;

namespace {

// The image's own size until a zoom of ours has sized it; the engine's automatic
// shrinking of a lone image is not the image's size.
const char *const ReadImageScript = R"JS((function () {
    var img = document.images[0];
    if (!img) return null;
    if (img.hasAttribute('data-vorlan-zoom')) return [img.width, img.height];
    return [img.naturalWidth || img.width, img.naturalHeight || img.height];
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

bool sizeFrom(const QVariant &result, ImageSize &size)
{
    const QVariantList pair = result.toList();
    if (pair.size() != 2)
        return false;
    size = {pair[0].toInt(), pair[1].toInt()};
    return size.width > 0 && size.height > 0;
}

} // namespace

void frmWeb::resetZoomAfterDownload()
{
    Zoom.resetAll();
    ++m_zoomGeneration;
}

void frmWeb::resetZoomAfterNavigate()
{
    Zoom.resetTwips();
}

void frmWeb::withImage(const std::function<void(ImageSize)> &then)
{
    const QPointer<frmWeb> self(this);
    const int generation = m_zoomGeneration;
    Web->runScript(QString::fromLatin1(ReadImageScript), [self, generation, then](const QVariant &result) {
        ImageSize size;
        if (self && self->m_zoomGeneration == generation && sizeFrom(result, size))
            then(size);
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
    withImage([this, percent](ImageSize image) {
        Zoom.measureOriginal(image);
        setImageSize(ZoomMath::atPercent(Zoom, percent), {});
    });
}

void frmWeb::ZoomImg()
{
    withImage([this](ImageSize image) {
        Zoom.measureOriginal(image);
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
        Zoom.measureOriginal(image);
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
