#pragma once

#include <QString>

class ButtonMenu;
class QAction;
class QToolButton;
class Toolbar;

enum class ButtonStyle {
    Default,   // a push button
    Check,     // stays pressed until clicked again: value() 1 pressed, 0 released
    DropDown,  // a push button with an arrow that opens its ButtonMenu
    Separator, // a gap between groups; counts as a button for the indexes
};

// One button of a Toolbar; owned by it and valid as long as the toolbar.
class ToolbarButton
{
public:
    ToolbarButton(const ToolbarButton &) = delete;
    ToolbarButton &operator=(const ToolbarButton &) = delete;
    ~ToolbarButton();

    const QString &key() const { return m_key; }
    ButtonStyle style() const { return m_style; }

    bool isEnabled() const;
    void setEnabled(bool enabled);
    bool isVisible() const;
    void setVisible(bool visible);

    // 0 released, 1 pressed; other values fail (InvalidPropertyValue). Only a check
    // button shows its value; setting it raises no click.
    int value() const;
    void setValue(int value);

    // The caption is shown under the image while the toolbar shows text; the
    // description is the button's label text kept aside (the toolbar never shows it).
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    QString description() const { return m_description; }
    void setDescription(const QString &description);
    QString toolTip() const;
    void setToolTip(const QString &text);

    // The image key into the toolbar's image lists; empty for none. A key the image
    // list lacks fails (ElementNotFound) and leaves the button as it was.
    QString image() const { return m_imageKey; }
    void setImage(const QString &imageKey);

    // The drop-down list; only a DropDown button has one (IllegalCall otherwise).
    ButtonMenu &menu() const;

    // The button widget; nullptr for a separator.
    QToolButton *widget() const { return m_button; }

private:
    friend class Toolbar;
    ToolbarButton(Toolbar *owner, const QString &key, ButtonStyle style);

    void refreshIcon();
    void refreshTextStyle();
    void refreshEntry();

    Toolbar *m_owner;
    QString m_key;
    ButtonStyle m_style;
    QToolButton *m_button = nullptr;
    QAction *m_action = nullptr;
    ButtonMenu *m_menu = nullptr;
    QString m_caption;
    QString m_description;
    QString m_imageKey;
    int m_value = 0;
};
