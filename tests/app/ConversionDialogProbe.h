#pragma once
// The conversion dialog's seams and state, as its tests reach them: the
// dialog befriends this struct alone.
#include "app/ConversionDialog.h"

struct ConversionDialogProbe {
    static ConversionSeams& Seams(ConversionDialog& dialog) { return dialog.seams; }
    static bool IsConverting(const ConversionDialog& dialog) { return dialog.converting; }
    static bool IsStopping(const ConversionDialog& dialog) { return dialog.stopping; }
    // The current or last run, null before the first.
    static const ConversionWork* LastRun(const ConversionDialog& dialog) { return dialog.run.get(); }
    static ComboBox& Format(ConversionDialog& dialog) { return dialog.format; }
    static ProgressBar& Progress(ConversionDialog& dialog) { return dialog.progress; }
};
