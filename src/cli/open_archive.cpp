#include "cli/open_archive.h"

#include "archive/sevenzip/bit7z_decoder.h"
#include "platform/text.h"

namespace Arkova::Cli {

namespace {

constexpr int kPasswordAttempts = 3;

// A password is right when it decrypts the first encrypted file entry. UnsupportedFormat means the reader cannot
// decrypt at all: asking again would not help, and the entries report it themselves.
bool PasswordOpensAnEntry(ArchiveContext& context, Console& console) {
    IArchiveDecoder* decoder = context.Decoder();
    if (decoder == nullptr) return false;
    for (const ArchiveItem& item : decoder->Items()) {
        if (item.isEncrypted && !item.isDirectory) {
            std::vector<std::uint8_t> data;
            DecodeResult result = decoder->ExtractToMemory(item.index, data);
            if (result == DecodeResult::UnsupportedFormat) {
                console.Err(L"arkova-cli: this archive's encryption cannot be decrypted here\n");
                return true;
            }
            return result == DecodeResult::Ok;
        }
    }
    return false;
}

enum class PasswordOutcome { Accepted, Refused, Cancelled };

// Asks up to three times on the terminal; `accepts` tries a typed password.
template <typename Accepts>
PasswordOutcome AskForPassword(const Options& options, ArchiveContext& context, Console& console, Accepts accepts) {
    for (int attempt = 1; attempt <= kPasswordAttempts; ++attempt) {
        console.Err(attempt == 1 ? L"Password for " + ArchiveName(options.archive) + L": "
                                 : std::wstring(L"Wrong password, try again: "));
        std::wstring password;
        if (!console.ReadSecret(password)) return PasswordOutcome::Cancelled;
        context.SetPassword(password);
        if (context.Decoder() != nullptr) context.Decoder()->SetPassword(password);
        if (accepts()) return PasswordOutcome::Accepted;
    }
    return PasswordOutcome::Refused;
}

bool ReportOpenFailure(const Options& options, const ArchiveContext& context, DecodeResult result,
                       Console& console) {
    console.Err(L"arkova-cli: cannot open archive '" + options.archive + L"': " + FailureText(context, result) +
                L"\n");
    return false;
}

}  // namespace

std::wstring ArchiveName(const std::wstring& path) {
    std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring FailureText(const ArchiveContext& context, DecodeResult result) {
    std::wstring text = DecodeResultName(result);
    if (const auto* adapter = dynamic_cast<const Bit7zDecoder*>(context.Decoder())) {
        if (!adapter->LastErrorText().empty()) text += L" (" + adapter->LastErrorText() + L")";
    }
    return text;
}

bool OpenForCommand(const Options& options, ArchiveUse use, ArchiveContext& context, Console& console) {
    if (options.codePage != -1) {
        context.SetCodePage(options.codePage == 0 ? Platform::SystemAnsiCodePage() : options.codePage);
    }
    if (options.hasPassword) context.SetPassword(options.password);
    DecodeResult result = context.OpenArchive(options.archive);
    const bool canAsk = !options.hasPassword && console.InputIsTerminal();

    // Archives with encrypted headers cannot even be listed without the password.
    if (result == DecodeResult::PasswordRequired && canAsk) {
        PasswordOutcome outcome = AskForPassword(options, context, console, [&] {
            result = context.OpenArchive(options.archive);
            return result != DecodeResult::PasswordRequired;
        });
        if (outcome == PasswordOutcome::Cancelled) return ReportOpenFailure(options, context, result, console);
    }
    if (result != DecodeResult::Ok) return ReportOpenFailure(options, context, result, console);

    if (use == ArchiveUse::ReadEntries && canAsk && context.Decoder()->HasEncryptedItems()) {
        PasswordOutcome outcome =
            AskForPassword(options, context, console, [&] { return PasswordOpensAnEntry(context, console); });
        if (outcome == PasswordOutcome::Refused) {
            console.Err(L"arkova-cli: wrong password for '" + options.archive + L"'\n");
            return false;
        }
        if (outcome == PasswordOutcome::Cancelled) return false;
    }
    return true;
}

}  // namespace Arkova::Cli
