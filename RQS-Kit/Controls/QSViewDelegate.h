#pragma once

class QSImageView;

// What an image view tells the object that watches it; a delegate overrides what it takes.
class QSViewDelegate
{
public:
    virtual ~QSViewDelegate() = default;

    // A delegate that takes clicks keeps presses from the views beneath the image view.
    virtual bool takesClicks() const { return false; }
    // Single clicks only.
    virtual void viewWasClicked(QSImageView *) {}
    virtual void viewDidAutoresize(QSImageView *) {}
};
