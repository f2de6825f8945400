#include "shell/ClassFactory.h"

#include "shell/Module.h"

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    return creator(iid, object);
}

HRESULT ClassFactory::LockServer(BOOL lock) {
    if (lock)
        shellmodule::Lock();
    else
        shellmodule::Unlock();
    return S_OK;
}
