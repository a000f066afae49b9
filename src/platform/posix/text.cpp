#include "platform/text.h"

#include <iconv.h>
#include <utf8proc.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace Arkova::Platform {

namespace {

std::string IconvName(int codePage) { return "CP" + std::to_string(codePage); }

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
    ~Converter() {
        if (IsValid()) ::iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool IsValid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return cd_; }

private:
    iconv_t cd_;
};

}  // namespace

bool IsCodePageAvailable(int codePage) {
    if (codePage == kCodePageUtf8) return true;
    if (codePage <= 0) return false;
    return Converter("WCHAR_T", IconvName(codePage).c_str()).IsValid();
}

namespace {

// Converts through iconv. An invalid or incomplete sequence either becomes U+FFFD for one byte, after which the
// conversion resynchronises (`strict` false), or ends the conversion with nothing (`strict` true).
std::optional<std::wstring> ConvertToWide(Converter& converter, std::string_view bytes, bool strict) {
    std::wstring out;
    // iconv takes a non-const pointer but only reads the input.
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    wchar_t buffer[256];
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buffer);
        std::size_t outLeft = sizeof(buffer);
        std::size_t result = ::iconv(converter.Get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(reinterpret_cast<wchar_t*>(outPtr) - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            if (strict) return std::nullopt;
            if (inLeft > 0) {
                out += static_cast<wchar_t>(0xFFFD);
                ++in;
                --inLeft;
                ::iconv(converter.Get(), nullptr, nullptr, nullptr, nullptr);
            }
        }
    }
    return out;
}

// Opening a descriptor costs a lookup in iconv's tables, which once per name adds up over a directory of thousands:
// each thread keeps the one it used last, reset to its initial state for every use (one that could not be opened is
// asked for again).
Converter& ToWideConverter(int codePage) {
    thread_local std::unique_ptr<Converter> cached;
    thread_local int cachedCodePage = 0;
    if (!cached || cachedCodePage != codePage || !cached->IsValid()) {
        cached = std::make_unique<Converter>("WCHAR_T", IconvName(codePage).c_str());
        cachedCodePage = codePage;
    }
    if (cached->IsValid()) ::iconv(cached->Get(), nullptr, nullptr, nullptr, nullptr);
    return *cached;
}

// The code pages whose bytes below 0x80 are ASCII, as in every code page a user can choose: their pure-ASCII names
// need no converter. (ISO-2022 and UTF-7 are not among them: they spell other characters in ASCII bytes.)
bool ReadsAsciiAsAscii(int codePage) {
    switch (codePage) {
        case 437:
        case 850:
        case 874:
        case 932:
        case 936:
        case 949:
        case 950:
            return true;
        default:
            return codePage >= 1250 && codePage <= 1258;
    }
}

std::optional<std::wstring> WidenedAscii(std::string_view bytes, int codePage) {
    if (!ReadsAsciiAsAscii(codePage)) return std::nullopt;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
    }
    return std::wstring(bytes.begin(), bytes.end());
}

}  // namespace

std::wstring MultiByteToWide(std::string_view bytes, int codePage) {
    if (codePage == kCodePageUtf8) return Utf8ToWide(bytes);
    if (std::optional<std::wstring> ascii = WidenedAscii(bytes, codePage)) return std::move(*ascii);
    Converter& converter = ToWideConverter(codePage);
    if (!converter.IsValid()) return Utf8ToWide(bytes);
    return *ConvertToWide(converter, bytes, false);
}

std::optional<std::wstring> MultiByteToWideStrict(std::string_view bytes, int codePage) {
    if (codePage == kCodePageUtf8) return Utf8ToWideStrict(bytes);
    if (std::optional<std::wstring> ascii = WidenedAscii(bytes, codePage)) return ascii;
    Converter& converter = ToWideConverter(codePage);
    if (!converter.IsValid()) return std::nullopt;
    return ConvertToWide(converter, bytes, true);
}

std::string WideToMultiByte(std::wstring_view text, int codePage) {
    if (codePage == kCodePageUtf8) return WideToUtf8(text);
    Converter converter(IconvName(codePage).c_str(), "WCHAR_T");
    if (!converter.IsValid()) return WideToUtf8(text);
    std::string out;
    std::wstring input(text);
    char* in = reinterpret_cast<char*>(input.data());
    std::size_t inLeft = input.size() * sizeof(wchar_t);
    char buffer[512];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof(buffer);
        std::size_t result = ::iconv(converter.Get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG && inLeft > 0) {
            out += '?';
            in += sizeof(wchar_t);
            inLeft -= std::min(inLeft, sizeof(wchar_t));
            ::iconv(converter.Get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

int SystemAnsiCodePage() {
    if (const char* acp = std::getenv("ARKOVA_ACP"); acp != nullptr && *acp != '\0') {
        int value = std::atoi(acp);
        if (value > 0 && IsCodePageAvailable(value)) return value;
    }
    const char* locale = nullptr;
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        locale = std::getenv(name);
        if (locale != nullptr && *locale != '\0') break;
    }
    if (locale != nullptr) {
        std::string text = locale;
        if (text.rfind("ja", 0) == 0) return 932;
        if (text.rfind("zh_CN", 0) == 0 || text.rfind("zh_SG", 0) == 0) return 936;
        if (text.rfind("zh_TW", 0) == 0 || text.rfind("zh_HK", 0) == 0) return 950;
    }
    return 949;
}

std::wstring NormalizeNfc(std::wstring_view text) {
    std::string utf8 = WideToUtf8(text);
    utf8proc_uint8_t* composed = utf8proc_NFC(reinterpret_cast<const utf8proc_uint8_t*>(utf8.c_str()));
    if (composed == nullptr) return std::wstring(text);
    std::wstring result = Utf8ToWide(reinterpret_cast<const char*>(composed));
    std::free(composed);
    return result;
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    auto fold = [](wchar_t c) {
        auto code = static_cast<utf8proc_int32_t>(c);
        return utf8proc_codepoint_valid(code) ? utf8proc_toupper(code) : code;
    };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

}  // namespace Arkova::Platform
