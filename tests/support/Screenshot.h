#pragma once

#include <QString>

class QWidget;

// Saves what a window shows as <name>.png in the folder named by FOLDWISE_TEST_SCREENSHOTS, for a
// person to look at; nothing when that variable is unset. False when the file could not be written.
bool saveScreenshot(QWidget *window, const QString &name);
