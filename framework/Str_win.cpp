#include "base/Str.h"

#include <windows.h>

int32_t Str::LoadFromResource(uint32_t id) {
    return LoadStringA(GetModuleHandleA(nullptr), id, data, BufferSize());
}
