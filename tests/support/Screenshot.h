#pragma once

#include <QString>

class QImage;
class QWidget;

// Saves what a window shows as <name>.png in the folder named by FOLDWISE_TEST_SCREENSHOTS, for a
// person to look at; nothing when that variable is unset. False when the file could not be written.
bool saveScreenshot(QWidget *window, const QString &name);
// The same for a picture made by the test itself (a rendering, an enlarged detail).
bool saveScreenshot(const QImage &picture, const QString &name);
