#pragma once
// Run-time errors as the plug-in raises and reports them: a VB error number
// with its standard description, or a foreign HRESULT passed through as it
// came from an outside call.

#include <cstdint>
#include <exception>
#include <string>

namespace vamu {

enum class ErrorNumber : std::int32_t {
    InvalidProcedureCall = 5,
    OutOfMemory = 7,
    Overflow = 6,  // also a floating-point overflow or invalid operation
    SubscriptOutOfRange = 9,
    DivisionByZero = 11,  // also a floating-point division by zero
    TypeMismatch = 13,
    InternalError = 51,
    FileNotFound = 53,
    PermissionDenied = 70,
    PathFileAccessError = 75,
    PathNotFound = 76,
    ObjectNotSet = 91,
    InvalidPropertyValue = 380,
    CannotCreateObject = 429,
    InvalidPicture = 481,
    ObjectDoesNotSupport = 438,
};

// Floating-point conditions are reported the way VB reports them: an overflow
// and an invalid operation (a NaN, as from 0/0 or infinity minus infinity)
// both raise error 6, a division by zero raises error 11.
inline constexpr ErrorNumber kFloatingPointOverflow = ErrorNumber::Overflow;
inline constexpr ErrorNumber kFloatingPointInvalid = ErrorNumber::Overflow;
inline constexpr ErrorNumber kFloatingPointDivideByZero = ErrorNumber::DivisionByZero;

class RuntimeError : public std::exception {
public:
    explicit RuntimeError(ErrorNumber number);
    RuntimeError(ErrorNumber number, std::u16string description);
    // A failure of an outside call: its own HRESULT and text travel unchanged.
    static RuntimeError foreign(std::uint32_t hresult, std::u16string description,
                                std::u16string source = {});

    // The VB error number; for a foreign HRESULT of the 0x800A facility the
    // number it carries, otherwise the HRESULT's low word.
    std::int32_t number() const noexcept { return number_; }
    std::uint32_t hresult() const noexcept { return hresult_; }
    const std::u16string& description() const noexcept { return description_; }
    const std::u16string& source() const noexcept { return source_; }
    bool isForeign() const noexcept { return foreign_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    RuntimeError() = default;
    void fillWhat();

    std::int32_t number_ = 0;
    std::uint32_t hresult_ = 0;
    std::u16string description_;
    std::u16string source_;
    bool foreign_ = false;
    std::string what_;
};

// The standard English description of a VB error number.
std::u16string describe(ErrorNumber number);

// HRESULT of a VB run-time error as an automation server returns it.
constexpr std::uint32_t hresultOf(std::int32_t number) noexcept {
    return 0x800A0000u + static_cast<std::uint32_t>(number & 0xFFFF);
}

[[noreturn]] void raise(ErrorNumber number);

}  // namespace vamu
