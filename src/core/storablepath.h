// Whether a path entered by the operator can be kept in one of our files and read back unchanged.
#pragma once
#include <QString>

namespace storablepath {

// Why the path cannot be kept as GBK text of at most maxBytes bytes and read back exactly as
// it is, in the operator's words ("含有中文编码（GBK）中没有的字符：ß"); empty when it can. Fixed-width
// fields lose a character GBK lacks (it becomes "?"), everything past their width, control
// characters and spaces at either end; a text line loses a line break inside it. Refusing such
// a path where it is entered keeps an item from playing today and vanishing after a restart.
QString problem(const QString &path, int maxBytes);

}  // namespace storablepath
