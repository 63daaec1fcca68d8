// The platform style with caption-sized push buttons outside dialogs.
#include "ui/compactstyle.h"

#include <QDialog>
#include <QStyleOptionButton>
#include <QWidget>

QSize CompactStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contents,
                                     const QWidget *widget) const {
    QSize size = QProxyStyle::sizeFromContents(type, option, contents, widget);
    const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option);
    if (type != CT_PushButton || !button || (widget && qobject_cast<const QDialog *>(widget->window())))
        return size;
    // The caption with a button margin on either side and the frame.
    int natural = contents.width() + 2 * pixelMetric(PM_ButtonMargin, option, widget) +
                  2 * pixelMetric(PM_DefaultFrameWidth, option, widget);
    if (button->features & QStyleOptionButton::AutoDefaultButton)
        natural += 2 * pixelMetric(PM_ButtonDefaultIndicator, option, widget);
    size.setWidth(std::min(size.width(), natural));
    return size;
}
