// The common file dialog over the Dialogs service.
#include "ui/commondialog.h"

#include <QDir>
#include <QFileInfo>

bool CommonDialog::ShowOpen() {
    if (MultiSelect) {
        const auto chosen = m_dialogs.openFiles(m_parent, request());
        if (!chosen || chosen->isEmpty())
            return false;
        FileName = joinMultiSelection(*chosen);
        FileNames = *chosen;
        return true;
    }
    const auto chosen = m_dialogs.openFile(m_parent, request());
    if (!chosen)
        return false;
    FileName = *chosen;
    return true;
}

bool CommonDialog::ShowSave() {
    const auto chosen = m_dialogs.saveFile(m_parent, request());
    if (!chosen)
        return false;
    FileName = *chosen;
    return true;
}

QString joinMultiSelection(const QStringList &paths) {
    if (paths.size() == 1)
        return paths.first();
    QStringList parts;
    parts << QDir::toNativeSeparators(QFileInfo(paths.first()).absolutePath());
    for (const QString &p : paths)
        parts << QFileInfo(p).fileName();
    return parts.join(QLatin1Char(' '));
}
