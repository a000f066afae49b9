#include "archive/volume_set.h"

#include <algorithm>

namespace Arkova {

bool VolumeSet::Open(const std::wstring& path) {
    Close();
    return AddVolume(path, 0, 0);
}

bool VolumeSet::AddVolume(const std::wstring& path, std::uint64_t head, std::uint64_t tail) {
    Volume volume;
    if (!volume.file.Open(path) || !volume.file.Size(volume.fileSize)) return false;
    volume.head = std::min(head, volume.fileSize);
    volume.length = volume.fileSize - volume.head - std::min(tail, volume.fileSize - volume.head);
    volume.start = volumes_.empty() ? 0 : volumes_.back().start + volumes_.back().length;
    volumes_.push_back(std::move(volume));
    return true;
}

void VolumeSet::SetLastTail(std::uint64_t tail) {
    if (volumes_.empty()) return;
    Volume& last = volumes_.back();
    last.length = last.fileSize - last.head - std::min(tail, last.fileSize - last.head);
}

void VolumeSet::Close() { volumes_.clear(); }

bool VolumeSet::Size(std::uint64_t& size) const {
    if (volumes_.empty()) return false;
    size = volumes_.back().start + volumes_.back().length;
    return true;
}

bool VolumeSet::ReadAt(std::uint64_t offset, void* buffer, std::size_t length, std::size_t& bytesRead) const {
    bytesRead = 0;
    auto* out = static_cast<unsigned char*>(buffer);
    // The first volume that ends after the offset.
    auto volume = std::upper_bound(volumes_.begin(), volumes_.end(), offset,
                                   [](std::uint64_t at, const Volume& v) { return at < v.start + v.length; });
    for (; volume != volumes_.end() && bytesRead < length; ++volume) {
        const std::uint64_t within = offset + bytesRead - volume->start;
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(length - bytesRead, volume->length - within));
        std::size_t got = 0;
        if (!volume->file.ReadAt(volume->head + within, out + bytesRead, take, got)) return false;
        bytesRead += got;
        if (got < take) return true;  // the volume is shorter than it was: the stream ends here
    }
    return true;
}

bool VolumeSet::ReadExactAt(std::uint64_t offset, void* buffer, std::size_t length) const {
    std::size_t got = 0;
    return ReadAt(offset, buffer, length, got) && got == length;
}

}  // namespace Arkova
