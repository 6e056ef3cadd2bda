#pragma once
// String arrays as they cross the COM boundary: a SAFEARRAY of BSTR.

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "win/platform/handles.h"

namespace vamu::com {

inline void destroyArray(SAFEARRAY* array) { SafeArrayDestroy(array); }

// An owned SAFEARRAY, destroyed with its elements.
using SafeArray = win::UniqueHandle<SAFEARRAY*, destroyArray>;

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
