#pragma once
// The class factory of the thumbnail handler. Each factory counts as a live
// object of the module while it exists.

#include <windows.h>

#include <unknwn.h>

class ClassFactory final : public IClassFactory {
public:
    // A new factory, handed out through iid; its only reference is the caller's.
    static HRESULT Create(REFIID iid, void** object);

    HRESULT __stdcall QueryInterface(REFIID iid, void** object) override;
    ULONG __stdcall AddRef() override;
    ULONG __stdcall Release() override;

    HRESULT __stdcall CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT __stdcall LockServer(BOOL lock) override;

private:
    ClassFactory();
    ~ClassFactory();

    LONG references = 1;
};
