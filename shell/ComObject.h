#pragma once
// ComObject: the IUnknown of every object the DLL hands out, over the list
// of interfaces the object implements. The reference count starts at the
// creator's one; each object counts as a live object of the module while it
// exists (DllCanUnloadNow). IUnknown is answered with the first interface.

#include "shell/Module.h"

#include <windows.h>

#include <unknwn.h>

#include <new>
#include <utility>

// Runs an interface method's body: nothing may escape into the host's
// process, every failure is an HRESULT.
template <typename Call> HRESULT Guarded(Call call) {
    try {
        return call();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

template <class First, class... Others> class ComObject : public First, public Others... {
public:
    // A new Object, handed out through iid; its only reference is the
    // caller's (none when the interface is refused).
    template <class Object, class... Arguments>
    static HRESULT Create(REFIID iid, void** object, Arguments&&... arguments) {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        Object* made = new (std::nothrow) Object(std::forward<Arguments>(arguments)...);
        if (made == nullptr)
            return E_OUTOFMEMORY;
        const HRESULT result = made->QueryInterface(iid, object);
        made->Release();
        return result;
    }

    HRESULT __stdcall QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = IsEqualIID(iid, IID_IUnknown) ? static_cast<First*>(this) : Find<First, Others...>(iid);
        if (*object == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG __stdcall AddRef() override { return ULONG(InterlockedIncrement(&references)); }
    ULONG __stdcall Release() override {
        const LONG left = InterlockedDecrement(&references);
        if (left == 0)
            delete this;
        return ULONG(left);
    }

protected:
    ComObject() { shellmodule::ObjectCreated(); }
    virtual ~ComObject() { shellmodule::ObjectDestroyed(); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

private:
    template <class Interface, class... Rest> void* Find(REFIID iid) {
        if (IsEqualIID(iid, __uuidof(Interface)))
            return static_cast<Interface*>(this);
        if constexpr (sizeof...(Rest) > 0)
            return Find<Rest...>(iid);
        else
            return nullptr;
    }

    LONG references = 1;
};
