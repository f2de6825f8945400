#pragma once
// The module-wide counts that DllCanUnloadNow reads: live objects (handlers
// and class factories) and LockServer locks. The DLL may be unloaded only
// when both are zero.

#include <windows.h>

namespace shellmodule {

void ObjectCreated();
void ObjectDestroyed();
void Lock();
void Unlock();
bool CanUnload();
// The DLL's own handle, for its path when registering.
HINSTANCE Instance();

} // namespace shellmodule
