#pragma once
// Why a document failed to load. The loader answers only yes or no, so after
// a failure the converter and the viewer look at the file once more to name
// the reason.

#include <string>

// A short reason: "not a QVM/QVR document", "cannot open", "unsupported
// version 3", "picture too large (WxH)", "truncated at layer N",
// "corrupt layer N" (layers counted from 1, bottom first), "not enough
// memory for WxH" (a QVM document whose every layer reads, or a QVR document
// whose picture cannot be allocated now) or "corrupt document".
std::string DiagnoseLoadFailure(const char* path);

// The reason for the last load of path on this thread, just failed: "changed
// while it was read" when the file kept changing (another program was saving
// it; the file as it is now may be fine), else DiagnoseLoadFailure.
std::string LastLoadFailure(const char* path);
