#pragma once
// Controls of the system's common dialogs that the tests fill in, by the ids
// the dialog templates give them.

// The colour chooser's red, green and blue boxes: they set its colour even
// while the dialog is not fully open.
constexpr int kChooserRedBox = 706;
constexpr int kChooserGreenBox = 707;
constexpr int kChooserBlueBox = 708;
