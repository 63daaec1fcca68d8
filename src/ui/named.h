// Controls carry their names as object names, so tests and styles can find them.
#pragma once
#include <QLatin1String>
#include <QString>

template <typename W>
W *named(W *widget, const char *name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// For the elements of a control array, "Label1(3)".
template <typename W>
W *named(W *widget, const QString &name) {
    widget->setObjectName(name);
    return widget;
}
