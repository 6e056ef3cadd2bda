#pragma once
// Entries in a settings (.ini) file, written through the ANSI function.

#include "contracts/platform.h"

namespace vamu::win {

class WinProfileWriter : public ProfileWriter {
public:
    bool writeString(const std::u16string& section, const std::u16string& key, const std::u16string& value,
                     const std::u16string& file) override;
};

// The text in the system's ANSI code page; characters it lacks become the
// code page's default character.
std::string toAnsi(const std::u16string& text);

}  // namespace vamu::win
