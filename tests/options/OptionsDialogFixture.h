#pragma once

#include "options/frmOptions.h"

#include "platform/controls/Forms.h"
#include "platform/controls/ListView.h"
#include "platform/controls/TreeView.h"
#include "platform/store/SettingsStore.h"

#include "ListClicks.h"
#include "TestEnvironment.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

// The options dialog shown (not modally) under a temporary home, driven by real
// clicks and keys; unloaded again afterwards.
class OptionsDialog : public TempEnvTest
{
protected:
    void TearDown() override
    {
        Forms::unload<frmOptions>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    frmOptions *open()
    {
        frmOptions *dialog = Forms::get<frmOptions>();
        dialog->show();
        QCoreApplication::processEvents();
        return dialog;
    }

    void clickNode(const QString &key)
    {
        QTreeWidget *tree = dialog()->trwOptions->treeWidget();
        QTreeWidgetItem *found = nullptr;
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            if ((*it)->text(0) == dialog()->trwOptions->node(key).text())
                found = *it;
        }
        ASSERT_NE(found, nullptr) << key.toStdString();
        const QRect rect = tree->visualItemRect(found);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(rect.left() + 10, rect.center().y()));
    }

    static void click(QAbstractButton *button)
    {
        // A check box takes clicks on its mark and caption only, not across its whole width.
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }

    static void typeInto(QLineEdit *edit, const QString &text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }

    static frmOptions *dialog() { return Forms::get<frmOptions>(); }

    // The keys of a section as the file holds them, in the file's order.
    static QStringList keysOf(const QString &section)
    {
        QStringList keys;
        bool inside = false;
        const QString text = QString::fromUtf8(TestEnvironment::readFile(SettingsStore::instance().filePath()));
        for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (line.startsWith(QLatin1Char('[')))
                inside = line.trimmed() == QLatin1Char('[') + section + QLatin1Char(']');
            else if (inside)
                keys.append(line.section(QLatin1Char('='), 0, 0));
        }
        return keys;
    }
};
