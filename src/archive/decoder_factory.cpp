#include "archive/decoder_factory.h"

#include "archive/alz_decoder.h"

namespace Arkova {

std::unique_ptr<IArchiveDecoder> CreateDecoder(ArchiveFormat format, const std::wstring& libraryPath) {
    (void)libraryPath;
    switch (format) {
        case ArchiveFormat::Alz:
            return std::make_unique<AlzDecoder>();
        default:
            return nullptr;
    }
}

}  // namespace Arkova
