#include "dialogs/password_prompt.h"

#include <vector>

#include "frontend/texts.h"

namespace Arkova {

namespace {

constexpr int kPasswordRounds = 3;

// A password is right when it decrypts the first encrypted file entry. A reader that cannot decrypt that entry
// at all (no decoder for its method) cannot tell a wrong password from a right one: the password is taken, and
// the entry reports its own failure when it is extracted.
bool PasswordOpensFirstEncryptedEntry(ArchiveSession& session) {
    IArchiveDecoder* decoder = session.context.Decoder();
    if (decoder == nullptr) return false;
    for (const ArchiveItem& item : decoder->Items()) {
        if (!item.isEncrypted || item.isDirectory) continue;
        std::vector<std::uint8_t> data;
        DecodeResult result = decoder->ExtractToMemory(item.index, data);
        return result == DecodeResult::Ok || result == DecodeResult::UnsupportedFormat;
    }
    return false;
}

}  // namespace

void SessionPasswordCache::Remember(const std::wstring& archivePath, const std::wstring& password) {
    std::lock_guard<std::mutex> guard(lock_);
    passwords_[archivePath] = password;
}

std::optional<std::wstring> SessionPasswordCache::LookUp(const std::wstring& archivePath) const {
    std::lock_guard<std::mutex> guard(lock_);
    auto found = passwords_.find(archivePath);
    if (found == passwords_.end()) return std::nullopt;
    return found->second;
}

SessionPasswordCache& PasswordCache() {
    static SessionPasswordCache cache;  // created once, thread-safely, on first use
    return cache;
}

void RememberPassword(SessionPasswordCache& cache, const std::wstring& archivePath, const std::wstring& password) {
    cache.Remember(archivePath, password);
}

std::optional<std::wstring> LookUpPassword(const SessionPasswordCache& cache, const std::wstring& archivePath) {
    return cache.LookUp(archivePath);
}

void ApplyPassword(ArchiveSession& session, const std::wstring& password) {
    session.context.SetPassword(password);
    if (session.context.Decoder() != nullptr) session.context.Decoder()->SetPassword(password);
    session.archivePassword = password;
}

bool RequestPassword(ArchiveSession& session, JobFrontEnd& frontEnd) {
    const std::wstring archiveName = FileNamePart(session.archivePath);
    bool wrongPassword = false;
    for (int round = 0; round < kPasswordRounds; ++round) {
        PasswordReply reply = frontEnd.AskPassword(archiveName, wrongPassword);
        if (!reply.accepted) return false;
        ApplyPassword(session, reply.password);
        if (PasswordOpensFirstEncryptedEntry(session)) {
            if (reply.remember) RememberPassword(PasswordCache(), session.archivePath, reply.password);
            return true;
        }
        // The context and decoder keep the last password tried; the session forgets it, so the next read asks.
        session.archivePassword.clear();
        wrongPassword = true;
    }
    frontEnd.ShowMessage(kMessageWrongPassword, kCaptionError, MessageIcon::Error);
    return false;
}

}  // namespace Arkova
