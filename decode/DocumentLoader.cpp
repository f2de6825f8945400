#include "decode/DocumentLoader.h"

#include "decode/QvmReader.h"
#include "decode/QvrReader.h"
#include "framework/Str.h"

namespace {

enum class Format { Qvr, Qvm, Other };

Format FormatOf(const char* path) {
    Str fullPath;
    fullPath.Assign(path);
    Str extension;
    fullPath.GetExtension(extension);
    // The extension alone decides; the content is never sniffed.
    if (extension.CompareNoCase("qvr") == 0)
        return Format::Qvr;
    if (extension.CompareNoCase("qvm") == 0)
        return Format::Qvm;
    return Format::Other;
}

} // namespace

bool LoadDocument(ImageBuffer& target, const char* path, WorkPool* pool) {
    switch (FormatOf(path)) {
    case Format::Qvr:
        return ReadQvr(target, path, pool);
    case Format::Qvm:
        return ReadQvm(target, path, pool);
    case Format::Other:
        break;
    }
    return false;
}

bool LoadDocumentOnPool(ImageBuffer& target, const char* path, WorkPool& pool) {
    switch (FormatOf(path)) {
    case Format::Qvr:
        return ReadQvrOnPool(target, path, pool);
    case Format::Qvm:
        return ReadQvmOnPool(target, path, pool);
    case Format::Other:
        break;
    }
    return false;
}
