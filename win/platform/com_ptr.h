#pragma once
// A counted COM interface pointer: one reference held, released on
// destruction. Shared by the platform code and the COM layer.

#include <windows.h>
#include <unknwn.h>

#include <cstddef>
#include <utility>

namespace vamu::win {

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    ComPtr(const ComPtr& other) noexcept : p_(other.p_) { addRef(); }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~ComPtr() { reset(); }

    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }

    // Takes over a reference the caller already owns.
    static ComPtr attach(T* pointer) noexcept {
        ComPtr result;
        result.p_ = pointer;
        return result;
    }
    // Takes a reference of its own.
    static ComPtr retain(T* pointer) noexcept {
        ComPtr result;
        result.p_ = pointer;
        result.addRef();
        return result;
    }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    void reset() noexcept {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    T* detach() noexcept { return std::exchange(p_, nullptr); }

    // For out parameters: releases what is held and hands out the slot.
    T** put() noexcept {
        reset();
        return &p_;
    }
    void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

    // QueryInterface; the HRESULT says whether it worked, and a success
    // always comes with a pointer: S_OK without one is E_NOINTERFACE. A
    // pointer handed out with a failure is not trusted, not even to be
    // released.
    template <class U>
    HRESULT query(REFIID iid, ComPtr<U>& out) const noexcept {
        if (!p_) return E_POINTER;
        HRESULT hr = p_->QueryInterface(iid, out.putVoid());
        if (FAILED(hr)) out.detach();
        if (SUCCEEDED(hr) && !out) hr = E_NOINTERFACE;
        return hr;
    }

private:
    void addRef() noexcept {
        if (p_) p_->AddRef();
    }

    T* p_ = nullptr;
};

}  // namespace vamu::win
