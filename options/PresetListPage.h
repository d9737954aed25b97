#pragma once

#include <QWidget>

class ListItem;
class ListView;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// One page of the options dialog that edits a preset list: the list with a row per
// entry, and below it a caption box and a value box that edit the selected row. The
// folder lists take their folders only from the choose-folder dialog ("..."). Edits
// stay in the rows until the dialog stores them.
class PresetListPage : public QWidget
{
    Q_OBJECT

public:
    struct Setup
    {
        QString section;
        QString title;
        QString hint;
        QString listName;
        QString valueColumn;
        QString valueLabel;
        QString captionBoxName;
        QString valueBoxName;
        // Empty for the lists whose value is typed; else the list holds folders, its
        // value box is read-only and this names the picker button.
        QString pickerName;
        QString valueTip;
        // A missing caption reads as the value's last path part.
        bool captionFromValue = false;
        // Characters the user may type into the caption box; 0 for no limit.
        int captionLimit = 0;
    };

    explicit PresetListPage(const Setup &setup, QWidget *parent = nullptr);

    ListView *list() const { return m_list; }
    QLineEdit *captionBox() const { return m_caption; }
    QLineEdit *valueBox() const { return m_value; }
    // Null for the lists whose value is typed.
    QPushButton *picker() const { return m_picker; }
    const QString &section() const { return m_setup.section; }
    // Puts a control of the page's own below the boxes.
    void addBelow(QWidget *widget);

    // Refills the list from the settings store. The row selected before (the first
    // row when none was) is selected again and shown in the boxes, so that they always
    // edit a row that is there.
    void load();
    // Writes every row, empty ones included, as caption and value.
    void store() const;

    void lst_ItemClick(const ListItem &item);
    void txtCaption_Change();
    void txtValue_Change();
    void cmdSet_Click();

signals:
    // The choose-folder dialog has closed; the dialog reads its values again.
    void folderPickerClosed();

private:
    void showRow(const ListItem &row);

    Setup m_setup;
    ListView *m_list = nullptr;
    QLineEdit *m_caption = nullptr;
    QLineEdit *m_value = nullptr;
    QPushButton *m_picker = nullptr;
    QVBoxLayout *m_column = nullptr;
};
