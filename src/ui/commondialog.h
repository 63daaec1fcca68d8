// The common file dialog: settings that persist between uses, cancellation as a distinct outcome.
#pragma once
#include "ui/dialogs.h"

#include <QString>
#include <QStringList>

class QWidget;

class CommonDialog {
public:
    CommonDialog(Dialogs &dialogs, QWidget *parent) : m_dialogs(dialogs), m_parent(parent) {}

    // What is not set again keeps the value of the previous use.
    QString Filter;    // "说明|*.lst|…"
    QString FileName;  // initial name in, chosen name out
    QString DefaultExt;
    bool MultiSelect = false;
    // After ShowOpen with MultiSelect: each chosen file's full path, which FileName can only
    // give joined by spaces.
    QStringList FileNames;

    // False when the user cancelled; FileName is then unchanged.
    bool ShowOpen();
    bool ShowSave();

private:
    Dialogs::FileRequest request() const { return {Filter, FileName, DefaultExt}; }

    Dialogs &m_dialogs;
    QWidget *m_parent;
};

// A multiple selection as one text: the folder, then the file names, separated by single
// spaces; a single file comes back as its full path.
QString joinMultiSelection(const QStringList &paths);
