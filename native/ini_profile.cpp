#include "native/ini_profile.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "contracts/runtime_error.h"
#include "native/atomic_file.h"
#include "native/ini_document.h"

namespace vamu::native {
namespace {

std::u16string_view asCString(const std::u16string& s) {
    return std::u16string_view(s).substr(0, s.find(u'\0'));
}

std::string existingBytes(const std::filesystem::path& file) {
    try {
        const std::vector<std::uint8_t> bytes = readWholeFile(file);
        return std::string(bytes.begin(), bytes.end());
    } catch (const RuntimeError& e) {
        if (e.number() == static_cast<std::int32_t>(ErrorNumber::FileNotFound)) return {};
        throw;
    }
}

}  // namespace

IniProfileWriter::IniProfileWriter(DriveMap& drives, std::string codePage)
    : drives_(drives), codePage_(std::move(codePage)) {}

bool IniProfileWriter::writeString(const std::u16string& section, const std::u16string& key,
                                   const std::u16string& value, const std::u16string& file) {
    const std::string ansiFile = codePage_.encode(asCString(file));
    if (ansiFile.find('?') != std::string::npos) return false;  // not a valid file name
    try {
        const std::filesystem::path local = drives_.toLocal(codePage_.decode(ansiFile));
        const std::string before = existingBytes(local);
        IniDocument document(before, codePage_);
        document.setString(codePage_.encode(asCString(section)), codePage_.encode(asCString(key)),
                           codePage_.encode(asCString(value)));
        const std::string after = document.bytes();
        if (after == before) return true;  // the same value again: nothing to write
        replaceFileAtomically(local,
                              std::span(reinterpret_cast<const std::uint8_t*>(after.data()), after.size()));
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

}  // namespace vamu::native
