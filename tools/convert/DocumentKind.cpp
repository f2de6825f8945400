#include "tools/convert/DocumentKind.h"

#include "base/Str.h"

DocumentKind KindByExtension(const std::string& name) {
    Str text;
    text.Assign(name.c_str());
    Str extension;
    text.GetExtension(extension);
    if (extension.CompareNoCase("qvm") == 0)
        return DocumentKind::Qvm;
    if (extension.CompareNoCase("qvr") == 0)
        return DocumentKind::Qvr;
    return DocumentKind::Other;
}
