#pragma once
// WritePrivateProfileStringA on this machine: the four strings go through
// the ANSI code page first (each ends at its first NUL, as a C string would),
// then the settings file is edited as IniDocument describes and replaced
// atomically. A missing file is created. The result is false when the file
// cannot be written: an unknown drive, a missing folder, a folder or a
// read-only file in its place, or a name that the code page turned into
// one with '?' in it.

#include <string>

#include "contracts/platform.h"
#include "native/ansi_code_page.h"
#include "native/drive_map.h"

namespace vamu::native {

class IniProfileWriter : public ProfileWriter {
public:
    explicit IniProfileWriter(DriveMap& drives, std::string codePage = "CP932");

    bool writeString(const std::u16string& section, const std::u16string& key, const std::u16string& value,
                     const std::u16string& file) override;

private:
    DriveMap& drives_;
    AnsiCodePage codePage_;
};

}  // namespace vamu::native
