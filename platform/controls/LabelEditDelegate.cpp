#include "platform/controls/LabelEditDelegate.h"

#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QScopedValueRollback>

LabelEditDelegate::LabelEditDelegate(Check check, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_check(std::move(check))
{
}

void LabelEditDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    // The check may show a message box; the editor losing the focus to it must not
    // commit the same edit a second time.
    if (!line || m_committing)
        return;
    QString text = line->text();
    if (text == index.data(Qt::EditRole).toString())
        return;
    const QScopedValueRollback<bool> busy(m_committing, true);
    const QPersistentModelIndex row(index);
    if (!m_check(row, text) || !row.isValid())
        return;
    model->setData(row, text, Qt::EditRole);
}
