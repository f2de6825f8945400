#pragma once
// The class factory of the thumbnail and preview handlers, one factory per
// class. Each factory counts as a live object of the module while it exists.

#include <windows.h>

#include <unknwn.h>

class ClassFactory final : public IClassFactory {
public:
    // The handler's own creation: a new object handed out through iid.
    using Creator = HRESULT (*)(REFIID iid, void** object);

    // A new factory of creator's objects, handed out through iid; its only
    // reference is the caller's.
    static HRESULT Create(Creator creator, REFIID iid, void** object);

    HRESULT __stdcall QueryInterface(REFIID iid, void** object) override;
    ULONG __stdcall AddRef() override;
    ULONG __stdcall Release() override;

    HRESULT __stdcall CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT __stdcall LockServer(BOOL lock) override;

private:
    explicit ClassFactory(Creator creator);
    ~ClassFactory();

    LONG references = 1;
    Creator creator;
};
