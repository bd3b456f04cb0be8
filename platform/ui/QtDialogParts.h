#pragma once

class QComboBox;
class QDialog;

namespace platform {

// Takes parts out of Qt's own print and page set-up dialogs, which have no way of their own to
// leave them out; parts are found by the names Qt gives them. GUI thread.

// Takes an entry out of what a combo box offers while every entry keeps its row, as the dialog's
// own code finds its entries by row: hidden from the list, and passed by with the keys. False when
// the box is not made as Qt's usual ones are.
bool withholdComboBoxRow(QComboBox &box, int row);

// Hides the choice of several pages on one sheet, and of their order, from the dialog and from
// every dialog it opens (the print dialog makes its page set-up anew for each printer): they mean
// nothing for a booklet, whose sheets are its own.
void hidePagesPerSheet(QDialog &dialog);

} // namespace platform
