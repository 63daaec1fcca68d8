// Fake message boxes and file dialogs: queued answers and chosen paths, and a record of what was shown.
#pragma once
#include "ui/dialogs.h"

#include <QList>
#include <QQueue>

class FakeDialogs : public Dialogs {
public:
    struct Shown {
        QString text, title;
        Buttons buttons;
        Icon icon;
        Answer defaultAnswer;
        bool waited = true;  // false for a message that let the program run on (notify)
    };
    QList<Shown> messages;
    QList<FileRequest> fileRequests;
    QQueue<Answer> answers;                      // an empty queue answers the default
    QQueue<std::optional<QString>> chosenFiles;  // an empty queue cancels
    QQueue<std::optional<QStringList>> chosenFileLists;

    Answer message(QWidget *, const QString &text, Buttons buttons, Icon icon, const QString &title,
                   Answer defaultAnswer) override {
        messages.append({text, title.isEmpty() ? applicationTitle() : title, buttons, icon, defaultAnswer});
        return answers.isEmpty() ? defaultAnswer : answers.dequeue();
    }
    void notify(QWidget *, const QString &text, Icon icon, const QString &title) override {
        messages.append({text, title.isEmpty() ? applicationTitle() : title, Buttons::Ok, icon, Answer::Ok, false});
    }
    std::optional<QString> openFile(QWidget *, const FileRequest &r) override { return pick(r); }
    std::optional<QString> saveFile(QWidget *, const FileRequest &r) override { return pick(r); }
    std::optional<QStringList> openFiles(QWidget *, const FileRequest &r) override {
        fileRequests << r;
        return chosenFileLists.isEmpty() ? std::nullopt : chosenFileLists.dequeue();
    }

private:
    std::optional<QString> pick(const FileRequest &r) {
        fileRequests << r;
        return chosenFiles.isEmpty() ? std::nullopt : chosenFiles.dequeue();
    }
};
