#include "dialogs/password_prompt.h"

#include <algorithm>
#include <vector>

#include "archive/crc32.h"
#include "frontend/texts.h"

namespace Arkova {

namespace {

constexpr int kPasswordRounds = 3;

// The encrypted file entries, smallest first: checking a password decodes one of them whole.
std::vector<std::uint32_t> EncryptedFilesBySize(const std::vector<ArchiveItem>& items) {
    std::vector<std::uint32_t> positions;
    for (std::uint32_t i = 0; i < items.size(); ++i) {
        if (items[i].isEncrypted && !items[i].isDirectory) positions.push_back(i);
    }
    std::stable_sort(positions.begin(), positions.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return items[a].size < items[b].size; });
    return positions;
}

}  // namespace

PasswordCheck CheckPassword(IArchiveDecoder& decoder) {
    const std::vector<ArchiveItem>& items = decoder.Items();
    for (std::uint32_t position : EncryptedFilesBySize(items)) {
        std::vector<std::uint8_t> data;
        DecodeResult result = decoder.ExtractToMemory(position, data);
        // An entry whose cipher or method the reader cannot decode says nothing about the password.
        if (result == DecodeResult::UnsupportedFormat) continue;
        if (result != DecodeResult::Ok) return PasswordCheck::Wrong;
        const ArchiveItem& item = items[position];
        return item.crc == 0 || Crc32(data) == item.crc ? PasswordCheck::Correct : PasswordCheck::Wrong;
    }
    return PasswordCheck::Unverifiable;
}

namespace {}  // namespace

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
    return AskForPassword(session, frontEnd) == PasswordAnswer::Accepted;
}

PasswordAnswer AskForPassword(ArchiveSession& session, JobFrontEnd& frontEnd) {
    const std::wstring archiveName = FileNamePart(session.archivePath);
    bool wrongPassword = false;
    for (int round = 0; round < kPasswordRounds; ++round) {
        PasswordReply reply = frontEnd.AskPassword(archiveName, wrongPassword);
        if (!reply.accepted) return PasswordAnswer::Declined;
        ApplyPassword(session, reply.password);
        IArchiveDecoder* decoder = session.context.Decoder();
        PasswordCheck check = decoder != nullptr ? CheckPassword(*decoder) : PasswordCheck::Wrong;
        if (check == PasswordCheck::Correct) {
            if (reply.remember) RememberPassword(PasswordCache(), session.archivePath, reply.password);
            return PasswordAnswer::Accepted;
        }
        if (check == PasswordCheck::Unverifiable) {
            // Taken for this job only: a password nobody could check is never remembered.
            frontEnd.ShowMessage(kMessagePasswordUnverified, kCaptionNotice, MessageIcon::Information);
            return PasswordAnswer::Accepted;
        }
        // The context and decoder keep the last password tried; the session forgets it, so the next read asks.
        session.archivePassword.clear();
        wrongPassword = true;
    }
    frontEnd.ShowMessage(kMessageWrongPassword, kCaptionError, MessageIcon::Error);
    return PasswordAnswer::WrongThreeTimes;
}

}  // namespace Arkova
