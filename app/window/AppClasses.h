#pragma once

// Makes the kit's and the application's views known to interface files by their class names and
// the drawing kit's symbols to symbol buttons. Repeating it is harmless; the document window
// does it before it loads.
void registerAppClasses();
