#pragma once
// The file list's names in the Japanese UI face, 12 pixels high at 96 DPI,
// as child IDC_FILE_LIST of the main window.

#include "framework/FileListBox.h"
#include "res/Messages.h"
#include "res/ResourceIds.h"

inline constexpr ListFont kFileListFont{msg::kGothicFace, SHIFTJIS_CHARSET, 12};

inline bool CreateFileList(FileListBox& list, HWND parent) {
    return list.CreateList(parent, IDC_FILE_LIST, kFileListFont);
}
