#pragma once
// Windows bitmap files in memory. Written as engine/bmp_encoder.h writes
// them. Read: 24 and 32 bits per pixel, bottom-up or top-down, uncompressed
// (32-bit also with the standard bit-field masks). Anything else is error
// 481 (invalid picture).

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "contracts/picture.h"
#include "engine/bmp_encoder.h"

namespace vamu::native {

// Leaves new elements uninitialised: an encoder writes every byte itself.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <class U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}
    template <class U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

using Bytes = std::vector<std::uint8_t, UninitialisedAllocator<std::uint8_t>>;

// An image without pixels, or whose pixel buffer does not match its size,
// is error 481. The second form hands the file to write in pieces, in order.
Bytes encodeBmp(const Image& image);
using ByteSink = BmpSink;
using vamu::encodeBmp;
Image decodeBmp(std::span<const std::uint8_t> bytes);

}  // namespace vamu::native
