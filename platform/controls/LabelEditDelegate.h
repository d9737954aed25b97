#pragma once

#include <QStyledItemDelegate>

#include <functional>

// Lets the owner of a view judge a label edit before it is stored: the check gets
// the row and the typed text, may change the text, and returns false to drop the
// edit (the old label stays). An edit that leaves the label as it was is dropped
// without asking; Escape drops it too.
class LabelEditDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using Check = std::function<bool(const QModelIndex &index, QString &text)>;

    explicit LabelEditDelegate(Check check, QObject *parent = nullptr);

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    Check m_check;
    mutable bool m_committing = false;
};
