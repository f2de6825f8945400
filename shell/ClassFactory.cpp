#include "shell/ClassFactory.h"

#include "shell/Module.h"

#include <new>

ClassFactory::ClassFactory(Creator creator) : creator(creator) {
    shellmodule::ObjectCreated();
}

ClassFactory::~ClassFactory() {
    shellmodule::ObjectDestroyed();
}

HRESULT ClassFactory::Create(Creator creator, REFIID iid, void** object) {
    ClassFactory* factory = new (std::nothrow) ClassFactory(creator);
    if (factory == nullptr)
        return E_OUTOFMEMORY;
    const HRESULT result = factory->QueryInterface(iid, object);
    factory->Release();
    return result;
}

HRESULT ClassFactory::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG ClassFactory::AddRef() {
    return ULONG(InterlockedIncrement(&references));
}

ULONG ClassFactory::Release() {
    const LONG left = InterlockedDecrement(&references);
    if (left == 0)
        delete this;
    return ULONG(left);
}

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
