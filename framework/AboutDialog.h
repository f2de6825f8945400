#pragma once
// AboutDialog: the program's name and version with an OK button.

#include "framework/Dialog.h"

class AboutDialog : public Dialog {
public:
    explicit AboutDialog(uint32_t templateId) : templateId(templateId) {}

    // Runs the dialog template modally; 1 however it is closed.
    INT_PTR Run(HWND parent);

    bool OnCommand(uint32_t id, uint32_t code, LPARAM control) override;

private:
    uint32_t templateId;
};
