#pragma once

class QWidget;

// Translates the texts of a loaded interface: the stand-in for interface files kept per language.
// Window titles go through the main bundle's strings table "Controls" alone; labels, button titles,
// group titles, placeholder texts, tool tips and segment labels through "Controls" with the kit's
// fallbacks; menu bars through the menu translator's table "Menu"; pop-up lists and button menus
// through its table "Controls". The kit's translating button and segmented control are left to
// translate themselves, so that no text is translated twice. Main thread only.
class QSInterfaceTranslator
{
public:
    // The root and every widget below it, child windows included.
    static void translate(QWidget *root);

    QSInterfaceTranslator() = delete;
};
