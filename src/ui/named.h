// Controls carry their names as object names, so tests and styles can find them.
#pragma once
#include <QLatin1String>

template <typename W>
W *named(W *widget, const char *name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}
