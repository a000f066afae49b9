// The password of an archive with encrypted entries: asked up to three times, each answer checked by decrypting
// one entry, and remembered for the rest of the process when the user leaves "이 세션 동안 기억" on.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "archive/archive_session.h"
#include "frontend/job_front_end.h"

namespace Arkova {

// Passwords by archive path, compared exactly; one per process, never written anywhere.
class SessionPasswordCache {
public:
    void Remember(const std::wstring& archivePath, const std::wstring& password);
    std::optional<std::wstring> LookUp(const std::wstring& archivePath) const;

private:
    mutable std::mutex lock_;
    std::map<std::wstring, std::wstring> passwords_;
};

SessionPasswordCache& PasswordCache();
void RememberPassword(SessionPasswordCache& cache, const std::wstring& archivePath, const std::wstring& password);
std::optional<std::wstring> LookUpPassword(const SessionPasswordCache& cache, const std::wstring& archivePath);

enum class PasswordCheck {
    Correct,       // an encrypted entry decrypted and matched its CRC or authentication code
    Wrong,         // the first entry that could be checked refused it
    Unverifiable,  // every encrypted entry uses a cipher or method the reader cannot decode
};
// Checks the decoder's current password by decoding its smallest encrypted file entry that the reader can decode.
PasswordCheck CheckPassword(IArchiveDecoder& decoder);

// Up to three rounds of the password dialog. True when a password decrypted an encrypted file entry; it is
// then set on the context, the decoder and the session. When no entry can be decrypted at all the password is taken
// unchecked, the user is told so, and it is not remembered. False when the user gave up, or after three wrong
// passwords ("비밀번호가 올바르지 않습니다.").
bool RequestPassword(ArchiveSession& session, JobFrontEnd& frontEnd);

// The same rounds, telling apart how they ended without a password: the user declined to give one (cancelled the
// first dialog, or one after a wrong password, or there was no one to ask) or three were wrong.
enum class PasswordAnswer { Accepted, Declined, WrongThreeTimes };
PasswordAnswer AskForPassword(ArchiveSession& session, JobFrontEnd& frontEnd);

// Sets a password on the context, its decoder and the session.
void ApplyPassword(ArchiveSession& session, const std::wstring& password);

}  // namespace Arkova
