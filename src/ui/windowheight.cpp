// Window height changes.
#include "ui/windowheight.h"

#include "ui/twips.h"

#include <QScreen>
#include <QWidget>

namespace windowheight {

void setCentred(QWidget *window, int twips) {
    const int h = twipsToPixels(twips);
    window->resize(window->width(), h);
    if (const QScreen *screen = window->screen()) {
        const QRect area = screen->geometry();
        window->move(window->x(), area.top() + (area.height() - h) / 2);
    }
}

}  // namespace windowheight
