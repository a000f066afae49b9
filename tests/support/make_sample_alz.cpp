// Writes a small ALZ archive with Korean (CP949) names, a folder, and stored and deflated entries.
// Usage: make-sample-alz OUTPUT.alz
#include <cstdio>
#include <string>

#include "platform/text.h"
#include "support/alz_writer.h"

namespace {

std::string Cp949(const std::wstring& text) { return Arkova::Platform::WideToMultiByte(text, 949); }

std::string NumbersTable() {
    std::string table = "n,square,cube\n";
    for (int n = 1; n <= 5000; ++n) {
        table += std::to_string(n) + "," + std::to_string(n * n) + "," + std::to_string(1LL * n * n * n) + "\n";
    }
    return table;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: make-sample-alz OUTPUT.alz\n", stderr);
        return 2;
    }
    std::wstring output = argv[1];
#else
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make-sample-alz OUTPUT.alz\n", stderr);
        return 2;
    }
    std::wstring output = Arkova::Platform::Utf8ToWide(argv[1]);
#endif
    using Arkova::Testing::AlzWriter;
    AlzWriter writer;
    writer.ArchiveHeader()
        .Folder(Cp949(L"\uBB38\uC11C"))  // 문서
        .File(Cp949(L"\uBB38\uC11C\\\uC548\uB0B4.txt"),  // 문서\안내.txt
              Arkova::Platform::WideToUtf8(L"\uC544\uB974\uCF54\uBC14 \uC0D8\uD50C \uC555\uCD95 \uD30C\uC77C\uC785\uB2C8\uB2E4.\n"))
        .File("readme.txt", "A stored entry: these bytes are kept as they are.\n", 0)
        .Folder("data")
        .File("data\\numbers.csv", NumbersTable());
    if (!writer.WriteTo(output)) {
        std::fputs("make-sample-alz: cannot write the archive\n", stderr);
        return 1;
    }
    return 0;
}
