// A fresh, empty folder for one test, removed with everything in it when the test ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Arkova::Testing {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    // A path below the folder; "/" in `relative` becomes the platform separator.
    std::wstring operator/(const std::wstring& relative) const;

private:
    std::wstring path_;
};

// Small file helpers for assertions and fixtures.
bool WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes);
bool WriteText(const std::wstring& path, const std::string& text);
std::vector<std::uint8_t> ReadBytes(const std::wstring& path);
std::string ReadText(const std::wstring& path);

}  // namespace Arkova::Testing
