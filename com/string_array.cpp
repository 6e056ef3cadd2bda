#include "com/string_array.h"

#include <new>
#include <utility>

#include "contracts/runtime_error.h"
#include "win/platform/bstr.h"
#include "win/platform/variant.h"

namespace vamu::com {
namespace {

// Locks an array's data for the lifetime of the holder.
class DataAccess {
public:
    explicit DataAccess(SAFEARRAY* array) : array_(array) {
        if (FAILED(SafeArrayAccessData(array_, &data_))) raise(ErrorNumber::TypeMismatch);
    }
    ~DataAccess() { SafeArrayUnaccessData(array_); }
    DataAccess(const DataAccess&) = delete;
    DataAccess& operator=(const DataAccess&) = delete;

    template <class T>
    T* as() const noexcept {
        return static_cast<T*>(data_);
    }

private:
    SAFEARRAY* array_;
    void* data_ = nullptr;
};

std::size_t elementCount(SAFEARRAY* array) {
    std::size_t count = 1;
    for (UINT d = 0; d < array->cDims; ++d) count *= array->rgsabound[d].cElements;
    return array->cDims == 0 ? 0 : count;
}

VARTYPE elementType(SAFEARRAY* array) {
    VARTYPE type = VT_EMPTY;
    if (FAILED(SafeArrayGetVartype(array, &type))) raise(ErrorNumber::TypeMismatch);
    return type;
}

SafeArray createOneDimensional(VARTYPE type, std::size_t size) {
    SafeArray array(SafeArrayCreateVector(type, 0, static_cast<ULONG>(size)));
    if (!array.get()) throw std::bad_alloc();
    return array;
}

}  // namespace

std::vector<std::u16string> readStringArray(SAFEARRAY* array) {
    std::vector<std::u16string> values;
    if (!array) return values;
    if (elementType(array) != VT_BSTR) raise(ErrorNumber::TypeMismatch);
    const std::size_t count = elementCount(array);
    DataAccess data(array);
    values.reserve(count);
    for (std::size_t i = 0; i < count; ++i) values.push_back(win::fromBstr(data.as<BSTR>()[i]));
    return values;
}

SafeArray makeStringArray(const std::vector<std::u16string>& values) {
    SafeArray array = createOneDimensional(VT_BSTR, values.size());
    DataAccess data(array.get());
    for (std::size_t i = 0; i < values.size(); ++i) data.as<BSTR>()[i] = win::Bstr(values[i]).detach();
    return array;
}

SafeArray stringArrayFromVariants(SAFEARRAY* variants, LCID lcid) {
    if (elementType(variants) != VT_VARIANT) raise(ErrorNumber::TypeMismatch);
    const std::size_t count = elementCount(variants);
    SafeArray array = createOneDimensional(VT_BSTR, count);
    DataAccess from(variants);
    DataAccess to(array.get());
    for (std::size_t i = 0; i < count; ++i) {
        win::Variant text;
        if (FAILED(VariantChangeTypeEx(text.get(), &from.as<VARIANT>()[i], lcid, 0, VT_BSTR))) {
            raise(ErrorNumber::TypeMismatch);
        }
        to.as<BSTR>()[i] = std::exchange(text.get()->bstrVal, nullptr);
        text.get()->vt = VT_EMPTY;
    }
    return array;
}

SafeArray variantArrayFromStrings(SAFEARRAY* strings) {
    if (!strings || strings->cDims != 1) raise(ErrorNumber::TypeMismatch);
    const std::vector<std::u16string> values = readStringArray(strings);
    SafeArray array(SafeArrayCreateVectorEx(VT_VARIANT, strings->rgsabound[0].lLbound,
                                            static_cast<ULONG>(values.size()), nullptr));
    if (!array.get()) throw std::bad_alloc();
    DataAccess data(array.get());
    for (std::size_t i = 0; i < values.size(); ++i) {
        VARIANT& element = data.as<VARIANT>()[i];
        element.bstrVal = win::Bstr(values[i]).detach();
        element.vt = VT_BSTR;
    }
    return array;
}

}  // namespace vamu::com
