#pragma once
// The thumbnail and preview handlers' classes, and the interface keys under
// which the shell looks a file type's handlers up.

#include <windows.h>

// {17B9A355-525B-4B38-9D9B-54FE25EE5947}
inline constexpr CLSID kThumbnailClsid = {0x17b9a355, 0x525b, 0x4b38, {0x9d, 0x9b, 0x54, 0xfe, 0x25, 0xee, 0x59, 0x47}};
inline constexpr wchar_t kThumbnailClsidText[] = L"{17B9A355-525B-4B38-9D9B-54FE25EE5947}";
// IThumbnailProvider's interface id, as the ShellEx key names it.
inline constexpr wchar_t kThumbnailShellExKey[] = L"{e357fccd-a995-4576-b01f-234630154e96}";
// The document types the handler is registered for.
inline constexpr const wchar_t* kThumbnailExtensions[] = {L".qvm", L".qvr"};

// {7879226B-B527-47DE-959A-00FE4F86D180}
inline constexpr CLSID kPreviewClsid = {0x7879226b, 0xb527, 0x47de, {0x95, 0x9a, 0x00, 0xfe, 0x4f, 0x86, 0xd1, 0x80}};
inline constexpr wchar_t kPreviewClsidText[] = L"{7879226B-B527-47DE-959A-00FE4F86D180}";
// IPreviewHandler's interface id, as the ShellEx key names it.
inline constexpr wchar_t kPreviewShellExKey[] = L"{8895b1c6-b41f-4c1c-a562-0d564250836f}";
// The system's 64-bit surrogate process that hosts preview handlers.
inline constexpr wchar_t kPreviewSurrogateAppId[] = L"{6d2b5079-2f0b-48dd-ab7f-97cec514d30b}";
