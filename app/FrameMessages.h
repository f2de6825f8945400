#pragma once
// The main frame's own messages (WM_USER range; the frame is no dialog, so
// none of them meets a DM_ message).

#include <windows.h>

// Posted by the decode thread when it has decoded a file ahead.
constexpr UINT kFileDecodedAhead = WM_USER + 1;
// Answered with -1 while files beside the shown one are still to be decoded,
// else with the number of files held decoded (or failed) ahead. Lets a
// program driving the viewer (the end-to-end tests, the stepping timing)
// wait until stepping would find its picture ready.
constexpr UINT kDecodedAheadQuery = WM_USER + 2;
// Posted to itself once the window is on screen, when a file named on the
// command line is to be shown: a large document takes seconds to read, and
// the window, naming the file, is up meanwhile.
constexpr UINT kShowStartFile = WM_USER + 3;
// Posted by the folder watch when a file appeared, went or was renamed in
// the folder listed; wParam: the watch's generation.
constexpr UINT kFolderChanged = WM_USER + 10;
// Posted by the watch of the shown file's folder when a file there was
// written, appeared, went or was renamed; wParam: the watch's generation.
constexpr UINT kShownFolderChanged = WM_USER + 12;
// The timer that waits for a save of the shown file to be over.
constexpr UINT_PTR kSettleTimer = 1;
// How long the shown file's size and stamp must stay as they are before it
// is read again: long enough to span the pauses of a program writing it,
// short enough that the new picture comes at once to the eye.
constexpr UINT kSettleMilliseconds = 300;
// The slideshow's timer: one interval after the document shown came up.
constexpr UINT_PTR kSlideshowTimer = 2;
// Answered with 1 while the slideshow runs, else 0: lets a program driving
// the viewer (the end-to-end tests) see it stop.
constexpr UINT kSlideshowQuery = WM_USER + 4;
// Posted by the layer export's thread when it has ended.
constexpr UINT kLayersExported = WM_USER + 11;
// Posted by Save as's thread when it has ended.
constexpr UINT kSavedAs = WM_USER + 13;
// The layers pane's thumbnails of the shown document are made (ThumbnailJob).
constexpr UINT kThumbnailsMade = WM_USER + 40;
// Registered by this name (RegisterWindowMessageA) and answered with 1 once
// the start-up has ended (the window is on screen and a file named on the
// command line is shown or its failure told), with 0 before. The window shows
// before that file is read, so a program driving the viewer (the end-to-end
// tests) waits for this answer rather than for the window.
constexpr char kStartupEndedMessageName[] = "Tessavel.StartupEnded";
