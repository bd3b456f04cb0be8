#pragma once

#include "platform/ui/FramelessWindow.h"

// The kit's borderless, transparent, shadowed panel window, moved by its background; it can
// become the key window like any other. Main thread.
class QSFrameLessWindow : public platform::FramelessWindow
{
    Q_OBJECT
public:
    explicit QSFrameLessWindow(QWidget *parent = nullptr, Qt::WindowFlags flags = {});
};
