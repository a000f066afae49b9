#include "support/scratch_folder.h"

#include <atomic>
#include <chrono>

#include "platform/file.h"
#include "platform/file_system.h"

namespace Arkova::Testing {

namespace {
std::atomic<unsigned> counter{0};
}

ScratchFolder::ScratchFolder() {
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        path_ = Platform::JoinPath(Platform::TempDirectory(), L"arkova-test-" + std::to_wstring(ticks) + L"-" +
                                                                  std::to_wstring(counter++));
        if (!Platform::PathExists(path_) && Platform::MakeDirectories(path_)) break;
    }
}

ScratchFolder::~ScratchFolder() { Platform::RemoveTree(path_); }

std::wstring ScratchFolder::operator/(const std::wstring& relative) const {
    std::wstring native = relative;
    for (wchar_t& c : native) {
        if (c == L'/') c = Platform::kPathSeparator;
    }
    return Platform::JoinPath(path_, native);
}

bool WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    Platform::OutputFile file;
    return file.Create(path) && file.Write(bytes.data(), bytes.size()) && file.Close();
}

bool WriteText(const std::wstring& path, const std::string& text) {
    return WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::uint8_t> ReadBytes(const std::wstring& path) {
    Platform::InputFile file;
    std::uint64_t size = 0;
    if (!file.Open(path) || !file.Size(size)) return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::size_t got = 0;
    file.ReadAt(0, bytes.data(), bytes.size(), got);
    bytes.resize(got);
    return bytes;
}

std::string ReadText(const std::wstring& path) {
    std::vector<std::uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace Arkova::Testing
