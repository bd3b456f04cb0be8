#pragma once

class QComboBox;

namespace platform {

// Takes an entry out of what a combo box of one of Qt's dialogs offers while every entry keeps its
// row, as the dialog's own code finds its entries by row: hidden from the list, and passed by with
// the keys. False when the box is not made as Qt's usual ones are. GUI thread.
bool withholdComboBoxRow(QComboBox &box, int row);

} // namespace platform
