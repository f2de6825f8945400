// The DLL's entry points and the module-wide counts.

#include "shell/Module.h"

#include "shell/ClassFactory.h"
#include "shell/PreviewHandler.h"
#include "shell/ThumbnailIds.h"
#include "shell/ThumbnailProvider.h"

#include <unknwn.h>

namespace {

HINSTANCE moduleInstance = nullptr;
LONG liveObjects = 0;
LONG locks = 0;

} // namespace

namespace shellmodule {

void ObjectCreated() {
    InterlockedIncrement(&liveObjects);
}
void ObjectDestroyed() {
    InterlockedDecrement(&liveObjects);
}
void Lock() {
    InterlockedIncrement(&locks);
}
void Unlock() {
    InterlockedDecrement(&locks);
}
bool CanUnload() {
    return InterlockedCompareExchange(&liveObjects, 0, 0) == 0 && InterlockedCompareExchange(&locks, 0, 0) == 0;
}
HINSTANCE Instance() {
    return moduleInstance;
}

} // namespace shellmodule

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        moduleInstance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualCLSID(clsid, kThumbnailClsid))
        return ClassFactory::Create(ThumbnailProvider::Create, iid, object);
    if (IsEqualCLSID(clsid, kPreviewClsid))
        return ClassFactory::Create(PreviewHandler::Create, iid, object);
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT __stdcall DllCanUnloadNow() {
    return shellmodule::CanUnload() ? S_OK : S_FALSE;
}
