#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Reads an interface file once, before Qt's loader sees it, for what would crash that loader or
// keep it busy for ever: Qt reads the file's elements by recursion (a file nested thousands deep
// overflows the stack), follows each custom class to the class it extends (two classes that
// extend each other never end), and grows grids and tables to whatever size a file names (a grid
// row of 2^31 - 1 never settles), and loses an item put into a form's cell that another item
// holds (a leak of its own objects). What a window can hold is InterfaceLimits::MaxExtent points a
// side, so positions and counts stay below it; texts stay below MaxTextLength, and the file as a
// whole within what it may make and keep. A widget given a second layout is refused too: Qt's
// loader loses what it makes of it.
namespace InterfaceFileCheck {

// Elements nested inside each other; the deepest shipped file nests 18.
inline constexpr int MaxDepth = 128;
// Cells of a table: 256 rows of 256 columns. Qt keeps a slot for every cell.
inline constexpr qint64 MaxCells = 256 * 256;
// Characters of one text: a label's, a tool tip's, an input mask's. The longest shipped text has
// 166. Qt's line edit matches its text to its input mask in time that grows with the square of
// their lengths: a mask and text of 30,000 characters held the loader for seconds.
inline constexpr qsizetype MaxTextLength = 4096;

// What a whole file may ask for; the largest shipped file is 37 KB and holds 831 elements, 138
// widgets, layouts, spacers and actions, 8 items and 3,000 characters of text. Qt keeps each
// object, item and character for as long as the window lives: 2,000 line edits with a mask of
// 4,000 characters each took 430 MB, 100,000 items of a combo box 130 MB and a second.
inline constexpr qint64 MaxFileSize = 1024 * 1024;
inline constexpr qint64 MaxElements = 16384;
inline constexpr qint64 MaxObjects = 2048;
inline constexpr qint64 MaxItems = 4096;
inline constexpr qint64 MaxTotalText = 65536;

// Why the file must not be loaded; empty when it may be. A file that is not well-formed XML is
// left to Qt's loader, which refuses it before it makes anything.
QString refusal(const QByteArray &file);

} // namespace InterfaceFileCheck

} // namespace platform
