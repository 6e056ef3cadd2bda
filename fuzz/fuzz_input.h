#pragma once
// The fuzzer's bytes taken apart into the pieces a target needs.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace vamu::fuzz {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    // Up to the next NUL byte (or the end).
    std::string_view field() {
        const std::size_t end = rest_.find('\0');
        const std::string_view piece = rest_.substr(0, end);
        rest_ = end == std::string_view::npos ? std::string_view{} : rest_.substr(end + 1);
        return piece;
    }
    template <class T>
    T value() {
        T v{};
        const std::size_t n = std::min(sizeof v, rest_.size());
        if (n > 0) std::memcpy(&v, rest_.data(), n);  // an empty view may hold no pointer
        rest_.remove_prefix(n);
        return v;
    }
    std::string_view rest() const { return rest_; }
    bool empty() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

}  // namespace vamu::fuzz
