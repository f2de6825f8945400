#pragma once
// Which reader a file name leads to: the loader goes by the extension alone.

#include <string>

enum class DocumentKind { Other, Qvm, Qvr };

// By the text after the last "." of name, compared without case.
DocumentKind KindByExtension(const std::string& name);
