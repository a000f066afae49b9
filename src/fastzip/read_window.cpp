#include "fastzip/read_window.h"

#include <cstring>

namespace Arkova::FastZip {

bool ReadWindow::ReadExactAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) {
    auto inside = [&] {
        return offset >= start_ && offset - start_ <= filled_ && length <= filled_ - (offset - start_);
    };
    if (!inside()) {
        if (length >= kSize) return reader_.ReadExactAt(offset, buffer, length);
        if (!window_) window_.reset(new std::uint8_t[kSize]);
        filled_ = 0;
        start_ = offset;
        if (!reader_.ReadAt(offset, window_.get(), kSize, filled_) || !inside()) {
            filled_ = 0;
            return false;
        }
    }
    if (length != 0) std::memcpy(buffer, window_.get() + (offset - start_), length);
    return true;
}

}  // namespace Arkova::FastZip
