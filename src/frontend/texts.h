// The user-visible texts that the jobs and prompts hand to the front ends, and that more than one front end shows.
#pragma once

namespace Arkova {

// The type column of a folder row in the item list.
inline constexpr wchar_t kTextFolder[] = L"폴더";

// Message captions.
inline constexpr wchar_t kCaptionNotice[] = L"알림";
inline constexpr wchar_t kCaptionError[] = L"오류";
inline constexpr wchar_t kCaptionSuccess[] = L"성공";
inline constexpr wchar_t kCaptionTest[] = L"테스트";
inline constexpr wchar_t kCaptionWarning[] = L"경고";

// Progress window titles.
inline constexpr wchar_t kTitleExtract[] = L"압축 풀기";
inline constexpr wchar_t kTitleExtractFinished[] = L"압축 풀기 완료";
inline constexpr wchar_t kTitleTurboParallelExtract[] = L"초고속 병렬 압축 풀기";
inline constexpr wchar_t kTitleParallelExtract[] = L"병렬 압축 풀기";
inline constexpr wchar_t kTitleArchiveTest[] = L"아카이브 테스트";

// Progress window lines.
inline constexpr wchar_t kStatusExtractDone[] = L"압축 해제 완료";
inline constexpr wchar_t kStatusPreparing[] = L"준비 중...";
inline constexpr wchar_t kStatusTestingPrefix[] = L"테스트 중: ";  // followed by "current / total"

// Messages.
inline constexpr wchar_t kMessageExtractFailedPrefix[] = L"추출 실패: ";  // followed by the reason
inline constexpr wchar_t kMessageNoSelection[] = L"선택된 파일이 없습니다.";
inline constexpr wchar_t kMessageNoOpenArchive[] = L"열린 압축 파일이 없습니다.";
inline constexpr wchar_t kMessageOpenArchiveFirst[] = L"먼저 압축 파일을 열어주세요.";
inline constexpr wchar_t kMessageWrongPassword[] = L"비밀번호가 올바르지 않습니다.";
inline constexpr wchar_t kMessagePasswordUnverified[] =
    L"이 압축 파일의 암호화 방식은 지원하지 않아 비밀번호를 확인할 수 없습니다. 비밀번호는 기억하지 않습니다.";

}  // namespace Arkova
