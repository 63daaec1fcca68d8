// Message boxes and file dialogs, as a service so tests can answer them.
#pragma once
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

class Dialogs {
public:
    enum class Icon { None, Critical, Question, Exclamation, Information };
    enum class Buttons { Ok, YesNo, OkCancel, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    struct FileRequest {
        QString filter;       // "描述|*.lst|…" pairs as the program writes them
        QString initialName;  // file name shown first
        QString defaultExt;   // appended to a name typed without one
    };

    virtual ~Dialogs() = default;

    // title empty: the application title "Tollmere3.0".
    virtual Answer message(QWidget *parent, const QString &text, Buttons buttons, Icon icon,
                           const QString &title = QString(), Answer defaultAnswer = Answer::Ok) = 0;
    // Shows a message with an OK button and returns at once: the program runs on (its timers
    // tick) while the box stands, and the box goes away when the operator clicks OK.
    virtual void notify(QWidget *parent, const QString &text, Icon icon, const QString &title = QString()) = 0;
    // Nothing when cancelled.
    virtual std::optional<QString> openFile(QWidget *parent, const FileRequest &request) = 0;
    virtual std::optional<QString> saveFile(QWidget *parent, const FileRequest &request) = 0;
    virtual std::optional<QStringList> openFiles(QWidget *parent, const FileRequest &request) = 0;

    static QString applicationTitle() { return QStringLiteral("Tollmere3.0"); }
};
