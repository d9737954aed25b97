#pragma once

#include "platform/controls/ImageList.h"
#include "platform/controls/KeyedCollection.h"
#include "platform/controls/ToolbarButton.h"

#include <QPointer>
#include <QToolBar>

#include <memory>

// A toolbar of buttons addressed by key and by 1-based index (failures as in
// ItemRef.h); separators count as buttons. Normal images come from imageList(), the
// images shown while the pointer is over an enabled button from hotImageList() under
// the same key (a key the hot list lacks keeps the normal image). Add buttons through
// addButton only.
class Toolbar : public QToolBar
{
    Q_OBJECT

public:
    explicit Toolbar(QWidget *parent = nullptr);
    ~Toolbar() override;

    // Also takes the list's image size as the toolbar's icon size.
    void setImageList(ImageList *images);
    ImageList *imageList() const { return m_images; }
    void setHotImageList(ImageList *images);
    ImageList *hotImageList() const { return m_hotImages; }

    // A taken key or an image key the image list lacks fails and adds nothing.
    ToolbarButton &addButton(const QString &key, const QString &caption = {},
                             ButtonStyle style = ButtonStyle::Default, const QString &imageKey = {});

    int count() const { return m_buttons.count(); }
    int indexOfKey(const QString &key) const { return m_buttons.indexOf(key); }
    ToolbarButton &button(const ItemRef &button) const { return *m_buttons[button]; }

    // Text under the images (on by default); off shows images only, captions kept.
    bool showText() const { return m_showText; }
    void setShowText(bool show);
    // Captions under the images (the default) or beside them, for a low toolbar.
    bool textBesideImages() const { return m_textBeside; }
    void setTextBesideImages(bool beside);

    bool hasImage(const QString &imageKey) const;
    // The icon for an image key (null for the empty key); ElementNotFound when the
    // image list lacks it.
    QIcon iconFor(const QString &imageKey) const;

signals:
    // The button part was clicked; a check button has already taken its new value.
    void buttonClicked(const QString &key);
    // A drop-down list is about to show; the owner may refill it here.
    void buttonDropDown(const QString &key);
    // An entry of a drop-down list was chosen; itemIndex is 1-based.
    void buttonMenuClicked(const QString &buttonKey, const QString &itemKey, int itemIndex);

private:
    void connectButton(ToolbarButton &button);
    void refreshButtons();

    KeyedCollection<std::unique_ptr<ToolbarButton>> m_buttons;
    QPointer<ImageList> m_images;
    QPointer<ImageList> m_hotImages;
    bool m_showText = true;
    bool m_textBeside = false;
};
