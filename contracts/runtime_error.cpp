#include "contracts/runtime_error.h"

#include "contracts/text.h"

namespace vamu {

std::u16string describe(ErrorNumber number) {
    switch (number) {
        case ErrorNumber::InvalidProcedureCall:
            return u"Invalid procedure call or argument";
        case ErrorNumber::Overflow:
            return u"Overflow";
        case ErrorNumber::OutOfMemory:
            return u"Out of memory";
        case ErrorNumber::InternalError:
            return u"Internal error";
        case ErrorNumber::SubscriptOutOfRange:
            return u"Subscript out of range";
        case ErrorNumber::DivisionByZero:
            return u"Division by zero";
        case ErrorNumber::TypeMismatch:
            return u"Type mismatch";
        case ErrorNumber::FileNotFound:
            return u"File not found";
        case ErrorNumber::PermissionDenied:
            return u"Permission denied";
        case ErrorNumber::PathFileAccessError:
            return u"Path/File access error";
        case ErrorNumber::PathNotFound:
            return u"Path not found";
        case ErrorNumber::ObjectNotSet:
            return u"Object variable or With block variable not set";
        case ErrorNumber::InvalidPropertyValue:
            return u"Invalid property value";
        case ErrorNumber::CannotCreateObject:
            return u"ActiveX component can't create object";
        case ErrorNumber::ObjectDoesNotSupport:
            return u"Object doesn't support this property or method";
        case ErrorNumber::InvalidPicture:
            return u"Invalid picture";
    }
    return u"Application-defined or object-defined error";
}

RuntimeError::RuntimeError(ErrorNumber number) : RuntimeError(number, describe(number)) {}

RuntimeError::RuntimeError(ErrorNumber number, std::u16string description)
    : number_(static_cast<std::int32_t>(number)),
      hresult_(hresultOf(static_cast<std::int32_t>(number))),
      description_(std::move(description)) {
    fillWhat();
}

RuntimeError RuntimeError::foreign(std::uint32_t hresult, std::u16string description, std::u16string source) {
    RuntimeError e;
    e.foreign_ = true;
    e.hresult_ = hresult;
    e.number_ = static_cast<std::int32_t>(hresult & 0xFFFF);
    e.description_ = std::move(description);
    e.source_ = std::move(source);
    e.fillWhat();
    return e;
}

void RuntimeError::fillWhat() {
    what_ = "run-time error ";
    what_ += std::to_string(number_);
    what_ += ": ";
    what_ += toUtf8(description_);
}

void raise(ErrorNumber number) { throw RuntimeError(number); }

}  // namespace vamu
