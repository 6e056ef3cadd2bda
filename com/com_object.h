#pragma once
// What every COM object of this server shares: counted references
// (win/platform/com_object.h), its share in keeping the DLL loaded, and the
// type description that IDispatch::GetTypeInfo hands out.

#include <windows.h>
#include <oaidl.h>

#include "com/server_lifetime.h"
#include "win/platform/com_object.h"

namespace vamu::com {

// Object implements Interfaces and counts as a live object of the DLL for as
// long as it exists.
template <class Object, class... Interfaces>
class ServerObject : public win::RefCounted<Object, Interfaces...> {
protected:
    ServerObject() = default;
    ~ServerObject() = default;

private:
    ObjectCount live_;
};

// IDispatch::GetTypeInfo of a dual interface: the process's one
// description of iid at index 0.
HRESULT typeInfoAt(REFIID iid, UINT index, ITypeInfo** info) noexcept;

}  // namespace vamu::com
