#pragma once
// The preview's document decoded on a thread of its own while the host's
// window thread goes on serving its messages: the pane, and the host's
// other windows, stay live however long the decode takes. The caller's
// thread waits inside DecodeInBackground, dispatching what arrives, so the
// calls the host makes meanwhile (a resize, an unload) reach the handler
// there.

#include "shell/ScaledPicture.h"

#include <atomic>

// DecodeKeptPicture on another thread, stream marshalled to it, waiting
// while dispatching the calling thread's messages. cancelled, when it turns
// true meanwhile, ends the decode early (a failed HRESULT). A WM_QUIT taken
// meanwhile is posted again after the wait.
HRESULT DecodeInBackground(IStream* stream, uint64_t start, ScaledPicture& kept, const std::atomic<bool>& cancelled);
