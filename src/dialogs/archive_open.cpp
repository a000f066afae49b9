#include "dialogs/archive_open.h"

#include "dialogs/password_prompt.h"

namespace Arkova {

namespace {

constexpr int kPasswordRounds = 3;

}  // namespace

DecodeResult OpenArchiveWithPassword(ArchiveSession& session, const std::wstring& path, JobFrontEnd& frontEnd,
                                     const std::optional<std::wstring>& givenPassword) {
    ArchiveContext& context = session.context;
    std::optional<std::wstring> password = givenPassword ? givenPassword : LookUpPassword(PasswordCache(), path);
    if (password) {
        context.SetPassword(*password);
        session.archivePassword = *password;
    }
    DecodeResult result = context.OpenArchive(path);

    // Archives with encrypted headers cannot even be listed without the password.
    for (int round = 0; result == DecodeResult::PasswordRequired && !givenPassword && round < kPasswordRounds;
         ++round) {
        PasswordReply reply = frontEnd.AskPassword(FileNamePart(path), round > 0);
        if (!reply.accepted) break;
        context.SetPassword(reply.password);
        result = context.OpenArchive(path);
        if (result == DecodeResult::Ok) {
            session.archivePassword = reply.password;
            if (reply.remember) RememberPassword(PasswordCache(), path, reply.password);
        }
    }
    if (result == DecodeResult::Ok) session.archivePath = path;
    return result;
}

}  // namespace Arkova
