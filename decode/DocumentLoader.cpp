#include "decode/DocumentLoader.h"

#include "decode/ByteSource.h"
#include "decode/QvmReader.h"
#include "decode/QvrReader.h"
#include "framework/Str.h"

#include <cstring>

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

bool LoadDocument(ImageBuffer& target, ByteSource& source) {
    constexpr uint32_t kMagicLength = 7;
    char magic[kMagicLength];
    // The reader checks the magic again, so step back over it.
    if (!source.ReadExact(magic, kMagicLength) || !source.Skip(-int64_t(kMagicLength)))
        return false;
    if (std::memcmp(magic, "QVMDATA", kMagicLength) == 0)
        return ReadQvm(target, source);
    if (std::memcmp(magic, "QVRFDAT", kMagicLength) == 0)
        return ReadQvr(target, source);
    return false;
}
