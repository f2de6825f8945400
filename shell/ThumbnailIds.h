#pragma once
// The thumbnail handler's class, and the interface key under which the shell
// looks a file type's thumbnail handler up.

#include <windows.h>

// {17B9A355-525B-4B38-9D9B-54FE25EE5947}
inline constexpr CLSID kThumbnailClsid = {0x17b9a355, 0x525b, 0x4b38, {0x9d, 0x9b, 0x54, 0xfe, 0x25, 0xee, 0x59, 0x47}};
inline constexpr wchar_t kThumbnailClsidText[] = L"{17B9A355-525B-4B38-9D9B-54FE25EE5947}";
// IThumbnailProvider's interface id, as the ShellEx key names it.
inline constexpr wchar_t kThumbnailShellExKey[] = L"{e357fccd-a995-4576-b01f-234630154e96}";
// The document types the handler is registered for.
inline constexpr const wchar_t* kThumbnailExtensions[] = {L".qvm", L".qvr"};
