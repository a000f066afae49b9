#include "cli/open_archive.h"

#include "dialogs/archive_open.h"
#include "platform/text.h"

namespace Arkova::Cli {

namespace {

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
    // The session names the archive even when it fails to open, for the messages that follow.
    session.archivePath = options.archive;
    std::optional<std::wstring> given;
    if (options.hasPassword) given = options.password;
    DecodeResult result = OpenArchiveWithPassword(session, options.archive, frontEnd, given);
    if (result != DecodeResult::Ok) return ReportOpenFailure(options, context, result, console);
    return true;
}

}  // namespace Arkova::Cli
