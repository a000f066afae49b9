#include "cli/open_archive.h"

#include "dialogs/password_prompt.h"
#include "platform/text.h"

namespace Arkova::Cli {

namespace {

constexpr int kPasswordRounds = 3;

bool ReportOpenFailure(const Options& options, const ArchiveContext& context, DecodeResult result, Console& console) {
    console.Err(L"arkova-cli: cannot open archive '" + options.archive + L"': " + DescribeFailure(context, result) +
                L"\n");
    return false;
}

}  // namespace

bool OpenForCommand(const Options& options, ArchiveSession& session, JobFrontEnd& frontEnd, Console& console) {
    ArchiveContext& context = session.context;
    if (options.codePage != -1) {
        context.SetCodePage(options.codePage == 0 ? Platform::SystemAnsiCodePage() : options.codePage);
    }
    session.archivePath = options.archive;
    if (options.hasPassword) {
        context.SetPassword(options.password);
        session.archivePassword = options.password;
    } else if (auto remembered = LookUpPassword(PasswordCache(), options.archive)) {
        context.SetPassword(*remembered);
        session.archivePassword = *remembered;
    }
    DecodeResult result = context.OpenArchive(options.archive);

    // Archives with encrypted headers cannot even be listed without the password.
    for (int round = 0; result == DecodeResult::PasswordRequired && !options.hasPassword && round < kPasswordRounds;
         ++round) {
        PasswordReply reply = frontEnd.AskPassword(FileNamePart(options.archive), round > 0);
        if (!reply.accepted) break;
        context.SetPassword(reply.password);
        result = context.OpenArchive(options.archive);
        if (result == DecodeResult::Ok) {
            session.archivePassword = reply.password;
            if (reply.remember) RememberPassword(PasswordCache(), options.archive, reply.password);
        }
    }
    if (result != DecodeResult::Ok) return ReportOpenFailure(options, context, result, console);
    return true;
}

}  // namespace Arkova::Cli
