// CompactStyle: the platform style, with push buttons in the program's windows only as wide as their captions need.
#pragma once
#include <QProxyStyle>

// The main window and the volume dialog are laid out on a fixed grid where a button may be
// as narrow as its caption ("▼", "..."); the platform style would make every captioned button
// at least 80 pixels wide. Dialogs (message boxes, the file dialog) keep the platform's sizes.
class CompactStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contents,
                           const QWidget *widget) const override;
};
