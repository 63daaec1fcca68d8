// The application-wide settings every window relies on.
#pragma once

class QApplication;

// Before any window is built: Qt's own texts (message box buttons, the file dialog) in
// Simplified Chinese whatever the system's language, the interface font, the style, and a
// program that keeps running when its last visible window closes (it ends only by its exit
// button or the automatic shutdown).
void setUpApplication(QApplication &app);
