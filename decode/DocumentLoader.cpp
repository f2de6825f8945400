#include "decode/DocumentLoader.h"

#include "decode/QvmReader.h"
#include "decode/QvrReader.h"
#include "framework/Str.h"

bool LoadDocument(ImageBuffer& target, const char* path) {
    Str fullPath;
    fullPath.Assign(path);
    Str extension;
    fullPath.GetExtension(extension);
    // The extension alone decides; the content is never sniffed.
    if (extension.CompareNoCase("qvr") == 0)
        return ReadQvr(target, path);
    if (extension.CompareNoCase("qvm") == 0)
        return ReadQvm(target, path);
    return false;
}
