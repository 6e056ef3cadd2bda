#pragma once
// A fresh folder under the temporary directory, removed with what the
// checks left in it.

#include <windows.h>

#include <string>

namespace vamu::wine_test {

class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    std::u16string path(const std::u16string& name) const { return root_ + u"\\" + name; }
    // Names of the files in the folder.
    std::u16string listing() const;

private:
    std::u16string root_;
};

bool fileExists(const std::u16string& path);
void writeText(const std::u16string& path, const std::string& bytes);

}  // namespace vamu::wine_test
