// What a file looks like from outside (which file, its size and times), and the program's own
// writes, so the file watch can tell someone else's change from the program's own save.
#pragma once
#include <QString>

#include <compare>

struct FileSignature {
    // A regular file the program can open for reading; anything else (nothing there, a folder,
    // a pipe, no rights) is no content to take.
    bool readable = false;
    quint64 device = 0, inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0, changedNs = 0;

    bool operator==(const FileSignature &) const = default;

    // Looked up through symbolic links. On a share that hangs this can wait: call it off the
    // UI thread where the path may lie on one.
    static FileSignature of(const QString &path);
};

namespace ownwrites {

// Called by every writer of a stored file after it has written it (or removed it): a watch
// that next finds the file exactly like this knows the change for the program's own.
void note(const QString &path);
// The file at path looks as the program's last own write left it.
bool isOwn(const QString &path, const FileSignature &signature);

}  // namespace ownwrites
