#pragma once
// OptionDialog: the "Option" dialog (template 105). It edits the view's
// background colour, the Velmora executable's path and the five mouse
// bindings of a Settings record, which it changes only on OK.

#include "app/MouseAction.h"
#include "framework/ColorButton.h"
#include "framework/ComboBox.h"
#include "framework/Dialog.h"

struct Settings;

class OptionDialog : public Dialog {
public:
    explicit OptionDialog(Settings& edited) : settings(edited) {}

    // 1 after OK, 0 after Cancel (Escape and the close box too).
    INT_PTR Run(HWND parent);

    bool OnInitDialog(LRESULT* result) override;
    bool OnCommand(uint32_t id, uint32_t code, LPARAM control) override;
    bool OnDrawItem(LPARAM drawItem) override;

    ColorButton colorButton;
    // In MouseEvent order, like Settings::Mouse.
    ComboBox bindings[kMouseEventCount];

private:
    void StoreSettings();

    Settings& settings;
};

// The frame's Option command: runs the dialog on settings and returns true
// when the image view has to be repainted, that is after OK with a changed
// background colour. The bindings and the path need nothing refreshed: they
// are read where they are used.
bool EditOptions(HWND parent, Settings& settings);
