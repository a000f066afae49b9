#include "frontend/entry_failure.h"

namespace Arkova {

namespace {

const wchar_t* DecodeResultTextKorean(DecodeResult result) {
    switch (result) {
        case DecodeResult::Ok:
            return L"성공";
        case DecodeResult::FileNotFound:
            return L"파일을 찾을 수 없습니다";
        case DecodeResult::InvalidArchive:
            return L"올바른 압축 파일이 아닙니다";
        case DecodeResult::UnsupportedFormat:
            return L"지원하지 않는 압축 방식입니다";
        case DecodeResult::PasswordRequired:
            return L"비밀번호가 필요하거나 올바르지 않습니다";
        case DecodeResult::CrcMismatch:
            return L"CRC가 일치하지 않습니다";
        case DecodeResult::DecompressFailed:
            return L"압축 해제에 실패했습니다 (손상된 데이터)";
        case DecodeResult::IoError:
            return L"파일을 읽거나 쓸 수 없습니다";
        case DecodeResult::InternalError:
            return L"내부 오류";
        case DecodeResult::Cancelled:
            return L"취소됨";
        case DecodeResult::UnsafePath:
            return L"대상 폴더 밖을 가리키는 경로라서 거부했습니다";
        case DecodeResult::WrongPassword:
            return L"비밀번호가 올바르지 않습니다";
    }
    return L"알 수 없는 오류";
}

const wchar_t* ReasonTextKorean(const EntryFailure& failure) {
    switch (failure.reason) {
        case FailureReason::Decode:
            return DecodeResultTextKorean(failure.decodeResult);
        case FailureReason::UnsafePath:
            return DecodeResultTextKorean(DecodeResult::UnsafePath);
        case FailureReason::OutOfMemory:
            return L"메모리가 부족합니다";
        case FailureReason::ThreadStart:
            return L"작업 스레드를 시작할 수 없습니다";
        case FailureReason::Engine:
            return L"병렬 압축 풀기에 실패했습니다";
        case FailureReason::Unexpected:
            return L"예기치 않은 오류";
        case FailureReason::ReadFolder:
            return L"폴더를 읽을 수 없습니다";
        case FailureReason::CreateFolder:
            return L"폴더를 만들 수 없습니다";
        case FailureReason::MoveIntoDestination:
            return L"대상 폴더로 옮길 수 없습니다";
        case FailureReason::ReplaceExisting:
            return L"기존 파일을 바꿀 수 없습니다";
        case FailureReason::FileInTheWay:
            return L"같은 이름의 파일이 있습니다";
        case FailureReason::FolderInTheWay:
            return L"같은 이름의 폴더가 있습니다";
        case FailureReason::RemoveStaging:
            return L"임시 폴더를 지울 수 없습니다";
    }
    return L"알 수 없는 오류";
}

}  // namespace

std::wstring FailureReasonTextKorean(const EntryFailure& failure) {
    std::wstring text = ReasonTextKorean(failure);
    if (!failure.detail.empty()) text += L" (" + failure.detail + L")";
    return text;
}

}  // namespace Arkova
