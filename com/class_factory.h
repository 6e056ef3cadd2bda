#pragma once
// The class factory of one of the two classes.

#include <windows.h>
#include <unknwn.h>

#include "com/com_object.h"

namespace vamu::com {

class ClassFactory final : public ServerObject<ClassFactory, IClassFactory> {
public:
    // Makes a new object with one reference; may throw (CreateInstance
    // turns that into an HRESULT).
    using Maker = HRESULT (*)(IUnknown** object);

    explicit ClassFactory(Maker maker) noexcept : maker_(maker) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) noexcept override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override;

private:
    friend class win::RefCounted<ClassFactory, IClassFactory>;
    ~ClassFactory() = default;

    Maker maker_;
};

// DllGetClassObject for the two classes.
HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** object) noexcept;

}  // namespace vamu::com
