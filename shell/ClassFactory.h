#pragma once
// The class factory of the thumbnail and preview handlers, one factory per
// class. Each factory counts as a live object of the module while it exists.

#include "shell/ComObject.h"

#include <windows.h>

#include <unknwn.h>

class ClassFactory final : public ComObject<IClassFactory> {
public:
    // The handler's own creation: a new object handed out through iid.
    using Creator = HRESULT (*)(REFIID iid, void** object);

    // A new factory of creator's objects, handed out through iid; its only
    // reference is the caller's.
    static HRESULT Create(Creator creator, REFIID iid, void** object) {
        return ComObject::Create<ClassFactory>(iid, object, creator);
    }

    HRESULT __stdcall CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT __stdcall LockServer(BOOL lock) override;

private:
    friend ComObject;
    explicit ClassFactory(Creator creator) : creator(creator) {}

    Creator creator;
};
