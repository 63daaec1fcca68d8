// The real dialogs.
#include "ui/dialogs_qt.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

namespace {

// Our filters are written "description|pattern|description|pattern"; Qt wants
// "description (pattern);;…".
QString qtFilter(const QString &filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return out.join(QStringLiteral(";;"));
}

QString withDefaultExt(QString path, const QString &ext) {
    if (!ext.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + ext;
    return path;
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
        const QString path = QFileDialog::getOpenFileName(parent, QString(), r.initialName, qtFilter(r.filter));
        if (path.isEmpty())
            return std::nullopt;
        return path;
    }

    std::optional<QString> saveFile(QWidget *parent, const FileRequest &r) override {
        QFileDialog dialog(parent, QString(), QString(), qtFilter(r.filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(r.defaultExt);
        dialog.selectFile(r.initialName);
        // Choosing an existing list to write into is what opening a list means here, so the
        // dialog must not ask whether to replace it.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return withDefaultExt(dialog.selectedFiles().first(), r.defaultExt);
    }

    std::optional<QStringList> openFiles(QWidget *parent, const FileRequest &r) override {
        const QStringList paths = QFileDialog::getOpenFileNames(parent, QString(), r.initialName, qtFilter(r.filter));
        if (paths.isEmpty())
            return std::nullopt;
        return paths;
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
