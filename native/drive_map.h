#pragma once
// Host paths are Windows paths. On this machine they map onto the local file
// system as under Wine: drive Z: is the root folder, any other drive is a
// folder of its own that the session mounts.

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace vamu::native {

class DriveMap {
public:
    DriveMap();  // Z: mounted on "/"
    void mount(char16_t letter, std::filesystem::path root);

    // Backslashes are separators; repeated ones count once. A path without a
    // known drive is error 76 (path not found).
    std::filesystem::path toLocal(std::u16string_view windowsPath) const;
    // A local absolute path as the host would report it (on Z:).
    static std::u16string toWindows(const std::filesystem::path& local);

private:
    std::map<char16_t, std::filesystem::path> roots_;
};

}  // namespace vamu::native
