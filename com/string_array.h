#pragma once
// String arrays as they cross the COM boundary: a SAFEARRAY of BSTR.

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>
#include <vector>

namespace vamu::com {

// An owned SAFEARRAY, destroyed with its elements.
class SafeArray {
public:
    SafeArray() noexcept = default;
    explicit SafeArray(SAFEARRAY* array) noexcept : array_(array) {}
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    SafeArray(SafeArray&& other) noexcept : array_(std::exchange(other.array_, nullptr)) {}
    SafeArray& operator=(SafeArray&& other) noexcept {
        if (this != &other) {
            reset();
            array_ = std::exchange(other.array_, nullptr);
        }
        return *this;
    }
    ~SafeArray() { reset(); }

    SAFEARRAY* get() const noexcept { return array_; }
    SAFEARRAY* detach() noexcept { return std::exchange(array_, nullptr); }
    void reset() noexcept {
        if (array_) SafeArrayDestroy(std::exchange(array_, nullptr));
    }

private:
    SAFEARRAY* array_ = nullptr;
};

// The elements of a string array in storage order (all dimensions); a null
// array is empty. An array of another element type is error 13.
std::vector<std::u16string> readStringArray(SAFEARRAY* array);

// A new one-dimensional string array with bounds 0 To size - 1.
SafeArray makeStringArray(const std::vector<std::u16string>& values);

// A string array copied from an array of VARIANTs, each element converted
// to a string with the caller's locale; error 13 when one cannot be.
SafeArray stringArrayFromVariants(SAFEARRAY* variants, LCID lcid);

// An array of VARIANTs, each holding the string of the same element, with
// the string array's bounds (one dimension): the form a script can index.
SafeArray variantArrayFromStrings(SAFEARRAY* strings);

}  // namespace vamu::com
