#include "archive/decode_result.h"

namespace Arkova {

const wchar_t* DecodeResultText(DecodeResult result) {
    switch (result) {
        case DecodeResult::FileNotFound:
            return L"FileNotFound";
        case DecodeResult::InvalidArchive:
            return L"InvalidArchive";
        case DecodeResult::UnsupportedFormat:
            return L"UnsupportedFormat";
        case DecodeResult::IoError:
            return L"IoError";
        case DecodeResult::InternalError:
            return L"InternalError";
        case DecodeResult::UnsafePath:
            return L"UnsafePath";
        case DecodeResult::WrongPassword:
            return L"WrongPassword";
        default:
            return L"Unknown";
    }
}

const wchar_t* DecodeResultName(DecodeResult result) {
    switch (result) {
        case DecodeResult::Ok:
            return L"Ok";
        case DecodeResult::PasswordRequired:
            return L"PasswordRequired";
        case DecodeResult::CrcMismatch:
            return L"CrcMismatch";
        case DecodeResult::DecompressFailed:
            return L"DecompressFailed";
        case DecodeResult::Cancelled:
            return L"Cancelled";
        default:
            return DecodeResultText(result);
    }
}

}  // namespace Arkova
