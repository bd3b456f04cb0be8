#pragma once

#include <QList>
#include <QString>

// The help entries of the document window, read once from the main bundle's property list
// "HelpDescription": each help button carries its entry's index as its tag. Every entry has the
// user default "AutoShow-" + name, on until the user unticks it in the entry's popover; code opens
// a popover by itself only while that default is on. GUI thread.
class VXHelpDescription
{
public:
    struct Entry
    {
        QString name;
        // A longer text exists in the help.
        bool hasHelp = false;
        // The popover may open by itself.
        bool hasAutohelp = false;
    };

    static const QList<Entry> &entries();
    // The entry at a help button's tag; nullptr (logged) for a tag outside the list.
    static const Entry *entryAtIndex(int index);
    // -1 for an unknown name.
    static int indexOfName(const QString &name);
    static QString autoShowKey(const QString &name);
    // Registers every entry's "AutoShow-" default as on.
    static void registerDefaults();

    VXHelpDescription() = delete;
};
