#include "archive/decoder_factory.h"

#include "archive/alz_decoder.h"
#include "archive/egg_decoder.h"
#include "archive/rar/rar_decoder.h"
#include "archive/sevenzip/bit7z_decoder.h"

namespace Arkova {

std::unique_ptr<IArchiveDecoder> CreateDecoder(ArchiveFormat format, const std::wstring& libraryPath) {
    switch (format) {
        case ArchiveFormat::Unrecognized:
            return nullptr;
        case ArchiveFormat::Alz:
            return std::make_unique<AlzDecoder>();
        case ArchiveFormat::Egg:
            return std::make_unique<EggDecoder>();
        case ArchiveFormat::Rar:
        case ArchiveFormat::Rar5:
            return std::make_unique<RarDecoder>();
        default:
            if (static_cast<std::uint32_t>(format) > static_cast<std::uint32_t>(ArchiveFormat::Wim)) return nullptr;
            return std::make_unique<Bit7zDecoder>(libraryPath);
    }
}

std::unique_ptr<IArchiveDecoder> CreateDetectingDecoder(const std::wstring& libraryPath) {
    return std::make_unique<Bit7zDecoder>(libraryPath, Bit7zDecoder::Detection::AnyHandler);
}

}  // namespace Arkova
