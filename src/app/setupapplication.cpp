// Chinese texts, font, style and lifetime of the application.
#include "app/setupapplication.h"

#include "app/logging.h"
#include "ui/compactstyle.h"
#include "ui/pictures.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void setUpApplication(QApplication &app) {
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    auto *qtTexts = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (qtTexts->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"), folder))
        QCoreApplication::installTranslator(qtTexts);
    else
        qCWarning(lcApp) << "no Chinese translation of Qt's own texts in" << folder;

    // One font whatever the desktop chooses: the windows are laid out in fixed pixels for it.
    QFont interface(QStringList{QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                                QStringLiteral("Sans Serif")},
                    9);
    // Drawn as its outlines are, as the font's own fontconfig settings ask (WenQuanYi switches
    // hinting off; Qt reads only the hint style and would run FreeType's autohinter anyway).
    // The autohinter also costs a few milliseconds of start-up for every size of text shown.
    interface.setHintingPreference(QFont::PreferNoHinting);
    QApplication::setFont(interface);
    QApplication::setStyle(new CompactStyle);
    // The task list shows it beside the caption; the window has no title bar of its own.
    QApplication::setWindowIcon(pictures::programIcons());
    // Closing the volume dialog by the window manager while the main window is hidden must
    // not end the program and silence the bells.
    QApplication::setQuitOnLastWindowClosed(false);
}
