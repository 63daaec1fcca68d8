// The real dialogs.
#include "ui/dialogs_qt.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>

namespace {

// Our filters are written "description|pattern|description|pattern"; Qt wants
// "description (pattern);;…". A filter of one bare pattern ("*.lst") is its own description.
QStringList qtFilters(const QString &filter) {
    if (filter.isEmpty())
        return {};
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i < parts.size(); i += 2) {
        QString patterns = i + 1 < parts.size() ? parts[i + 1] : parts[i];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return out;
}

// "lst" and ".lst" both mean the extension lst.
QString bareExtension(QString ext) {
    while (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    return ext;
}

QString withDefaultExt(QString path, const QString &ext) {
    if (!ext.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + ext;
    return path;
}

// Qt's file list writes sizes and dates in the locale of the environment (LANG, LC_ALL),
// which the program's own Chinese locale does not change: in an otherwise Chinese dialog they
// read "0 bytes" and "10 Dec". This view of the list writes them in the program's locale.
class ProgramLocaleFiles : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override {
        constexpr int SizeColumn = 1, DateColumn = 3;
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files || (index.column() != SizeColumn && index.column() != DateColumn))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == DateColumn)
            return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        if (files->isDir(source))
            return QIdentityProxyModel::data(index, role);  // a folder shows no size
        return QLocale().formattedDataSize(files->size(source));
    }
};

// Qt's own dialog on every desktop: the platform's open dialogs refuse a name that does not
// exist yet, and a new list is begun by naming it.
QStringList runFileDialog(QWidget *parent, const Dialogs::FileRequest &r, QFileDialog::AcceptMode mode,
                          QFileDialog::FileMode fileMode) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new ProgramLocaleFiles(&dialog));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(fileMode);
    // Choosing an existing list to write into is what saving under a name means here, so the
    // dialog must not ask whether to replace it.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = qtFilters(r.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    const QString ext = bareExtension(r.defaultExt);
    dialog.setDefaultSuffix(ext);
    // The initial name gives the folder, and the name too unless it is a pattern
    // ("/school/*.lst" opens the folder /school with the name box empty).
    if (!r.initialName.isEmpty()) {
        const QFileInfo initial(r.initialName);
        dialog.setDirectory(initial.absolutePath());
        const QString name = initial.fileName();
        if (!name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?')))
            dialog.selectFile(name);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QStringList chosen = dialog.selectedFiles();
    for (QString &path : chosen)
        path = withDefaultExt(path, ext);
    return chosen;
}

class QtDialogs : public Dialogs {
public:
    Answer message(QWidget *parent, const QString &text, Buttons buttons, Icon icon, const QString &title,
                   Answer defaultAnswer) override {
        QMessageBox box(parent);
        setUp(box, text, buttons, icon, title, defaultAnswer);
        switch (box.exec()) {
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        case QMessageBox::Cancel: return Answer::Cancel;
        default: return Answer::Ok;
        }
    }

    void notify(QWidget *parent, const QString &text, Icon icon, const QString &title) override {
        auto *box = new QMessageBox(parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        setUp(*box, text, Buttons::Ok, icon, title, Answer::Ok);
        // Opened once the event loop runs, so that it stands over a window still being built
        // (start-up) instead of behind it. open() keeps the parent window from taking input
        // until OK, as a message box does, without holding up anything else.
        QTimer::singleShot(0, box, [box] { box->open(); });
    }

    std::optional<QString> openFile(QWidget *parent, const FileRequest &r) override {
        // As with the common dialog of old, an open dialog takes any name: opening a list
        // that does not exist creates it.
        const QStringList chosen = runFileDialog(parent, r, QFileDialog::AcceptOpen, QFileDialog::AnyFile);
        if (chosen.isEmpty())
            return std::nullopt;
        return chosen.first();
    }

    std::optional<QString> saveFile(QWidget *parent, const FileRequest &r) override {
        const QStringList chosen = runFileDialog(parent, r, QFileDialog::AcceptSave, QFileDialog::AnyFile);
        if (chosen.isEmpty())
            return std::nullopt;
        return chosen.first();
    }

    std::optional<QStringList> openFiles(QWidget *parent, const FileRequest &r) override {
        const QStringList chosen = runFileDialog(parent, r, QFileDialog::AcceptOpen, QFileDialog::ExistingFiles);
        if (chosen.isEmpty())
            return std::nullopt;
        return chosen;
    }

private:
    static void setUp(QMessageBox &box, const QString &text, Buttons buttons, Icon icon, const QString &title,
                      Answer defaultAnswer) {
        box.setWindowTitle(title.isEmpty() ? applicationTitle() : title);
        box.setText(text);
        switch (icon) {
        case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
        case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
        case Icon::Question: box.setIcon(QMessageBox::Question); break;
        case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case Icon::Information: box.setIcon(QMessageBox::Information); break;
        }
        QMessageBox::StandardButtons set;
        switch (buttons) {
        case Buttons::Ok: set = QMessageBox::Ok; break;
        case Buttons::YesNo: set = QMessageBox::Yes | QMessageBox::No; break;
        case Buttons::OkCancel: set = QMessageBox::Ok | QMessageBox::Cancel; break;
        case Buttons::YesNoCancel: set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
        }
        box.setStandardButtons(set);
        box.setDefaultButton(toButton(defaultAnswer));
    }

    static QMessageBox::StandardButton toButton(Answer a) {
        switch (a) {
        case Answer::Yes: return QMessageBox::Yes;
        case Answer::No: return QMessageBox::No;
        case Answer::Cancel: return QMessageBox::Cancel;
        default: return QMessageBox::Ok;
        }
    }
};

}  // namespace

std::unique_ptr<Dialogs> makeQtDialogs() { return std::make_unique<QtDialogs>(); }
