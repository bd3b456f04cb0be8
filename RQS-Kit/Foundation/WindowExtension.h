#pragma once

#include <QImage>

class QWidget;

// Windows are top-level widgets.
namespace rqs {

// The widget's window alone, as it draws itself: its content area, or the whole screen-filling
// window in full screen mode (the title bar is never part of it). Device pixels, with the device
// pixel ratio set. A null image, with a warning, for no window.
QImage newCGImageScreenshot(QWidget *window);

// The window a sheet for the view should go on: the view's window, else the active window, else
// the first visible application window (tool tips and pop-ups hold no sheets); null when none.
QWidget *windowForSheetWithView(const QWidget *view);

} // namespace rqs
