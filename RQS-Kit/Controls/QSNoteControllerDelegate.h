#pragma once

class QSButton;
class QSNoteController;

// What a note tells the object that showed it.
class QSNoteControllerDelegate
{
public:
    virtual ~QSNoteControllerDelegate() = default;

    // The button closed the note; the button is null when the sender was no kit button.
    virtual void note(QSNoteController *note, QSButton *wasClosedByButton) = 0;
};
