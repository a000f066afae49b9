#include "fastzip/zip_file_reader.h"

namespace Arkova::FastZip {

bool ZipFileReader::Open(const std::wstring& path) {
    Close();
    if (!file_.OpenForParallelReads(path)) return false;
    if (!file_.Size(fileSize_)) {
        Close();
        return false;
    }
    return true;
}

void ZipFileReader::Close() {
    file_.Close();
    fileSize_ = 0;
}

bool ZipFileReader::ReadAt(std::uint64_t offset, void* buffer, std::size_t length, std::size_t& bytesRead) const {
    return file_.ReadAt(offset, buffer, length, bytesRead);
}

bool ZipFileReader::ReadExactAt(std::uint64_t offset, void* buffer, std::size_t length) const {
    return file_.ReadExactAt(offset, buffer, length);
}

}  // namespace Arkova::FastZip
