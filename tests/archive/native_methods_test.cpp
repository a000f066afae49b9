// Every method and cipher of the ALZ and EGG readers, through archives our writers make: byte-exact data for each
// pairing (empty entries included), a wrong password refused by the header's check before any byte is written,
// changed data caught by the CRC or the authentication code, AZO named in its failure, and the ciphers themselves
// against published known-answer vectors.
#include <gtest/gtest.h>

#include <tuple>

#include "archive/alz_decoder.h"
#include "archive/block_codecs.h"
#include "archive/crc32.h"
#include "archive/crypto/entry_cipher.h"
#include "archive/egg_decoder.h"
#include "dialogs/password_prompt.h"
#include "platform/file_system.h"
#include "platform/text.h"
#include "support/archive_codecs.h"
#include "support/egg_writer.h"
#include "support/scratch_folder.h"

namespace Arkova {
namespace {

using Testing::Bytes;
using Testing::EggWriter;
using Testing::ScratchFolder;

const std::string kPassword = "password12345!";

Bytes Text(std::size_t size) {
    Bytes bytes(size);
    const char* words = "lorem ipsum dolor sit amet consectetur adipiscing elit ";
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(words[(i * 7 + i / 13) % 55]);
    return bytes;
}

enum class Cipher { None, Zip, Aes128, Aes256, Lea128, Lea256 };

const char* CipherName(Cipher cipher) {
    const char* names[] = {"None", "Zip", "Aes128", "Aes256", "Lea128", "Lea256"};
    return names[static_cast<int>(cipher)];
}

// One EGG entry, packed with `method` and sealed with `cipher` as the creating program lays it out.
void AddEggEntry(EggWriter& writer, const std::string& name, const Bytes& content, std::uint8_t method, Cipher cipher) {
    if (cipher == Cipher::None) {
        writer.FileHeader(content.size()).FileName(name).WindowsFileInfo(Testing::kEggDefaultTime, 0x20).EndMarker();
        Testing::EggBlock block;
        block.content = content;
        block.method = method;
        writer.Block(block);
        return;
    }
    const std::uint8_t methods[] = {0, 0, 1, 2, 5, 6};
    writer.SealedFile(name, content, method, methods[static_cast<int>(cipher)], kPassword);
}

class EggMethodCipherTest : public ::testing::TestWithParam<std::tuple<int, Cipher>> {};

TEST_P(EggMethodCipherTest, EntriesComeOutExactAndAWrongPasswordWritesNothing) {
    const auto method = static_cast<std::uint8_t>(std::get<0>(GetParam()));
    const Cipher cipher = std::get<1>(GetParam());
    const Bytes big = Text(300000);
    const Bytes small = Testing::ToBytes("hello");
    EggWriter writer;
    writer.ArchiveHeader();
    AddEggEntry(writer, "big.txt", big, method, cipher);
    AddEggEntry(writer, "small.txt", small, method, cipher);
    writer.FileHeader(0).FileName("empty.txt").WindowsFileInfo(Testing::kEggDefaultTime, 0x20).EndMarker();
    ScratchFolder folder;
    ASSERT_TRUE(writer.WriteTo(folder / L"test.egg"));

    EggDecoder decoder;
    ASSERT_EQ(decoder.Open(folder / L"test.egg"), DecodeResult::Ok);
    ASSERT_EQ(decoder.ItemCount(), 3u);
    EXPECT_EQ(decoder.HasEncryptedItems(), cipher != Cipher::None);
    Bytes data;
    if (cipher != Cipher::None) {
        EXPECT_EQ(decoder.ExtractToMemory(0, data), DecodeResult::PasswordRequired);
        decoder.SetPassword(L"wrong");
        EXPECT_EQ(decoder.ExtractToMemory(0, data), DecodeResult::WrongPassword);
        EXPECT_EQ(CheckPassword(decoder), PasswordCheck::Wrong);
        ScratchFolder out;
        EXPECT_EQ(decoder.ExtractAll(out.Path()), DecodeResult::WrongPassword);
        std::vector<Platform::DirectoryEntry> written;
        ASSERT_TRUE(Platform::ListDirectory(out.Path(), written));
        EXPECT_TRUE(written.empty()) << "not a byte is written with a wrong password";
        decoder.SetPassword(Platform::Utf8ToWide(kPassword));
        EXPECT_EQ(CheckPassword(decoder), PasswordCheck::Correct);
    }
    ASSERT_EQ(decoder.ExtractToMemory(0, data), DecodeResult::Ok);
    EXPECT_EQ(data, big);
    ASSERT_EQ(decoder.ExtractToMemory(1, data), DecodeResult::Ok);
    EXPECT_EQ(data, small);
    ScratchFolder out;
    ASSERT_EQ(decoder.ExtractAll(out.Path()), DecodeResult::Ok);
    EXPECT_EQ(Testing::ReadText(out / L"small.txt"), "hello");
    ASSERT_TRUE(Platform::PathExists(out / L"empty.txt"));
    EXPECT_EQ(Testing::ReadText(out / L"empty.txt"), "");
}

INSTANTIATE_TEST_SUITE_P(EveryPairing, EggMethodCipherTest,
                         ::testing::Combine(::testing::Values(0, 1, 2, 4),
                                            ::testing::Values(Cipher::None, Cipher::Zip, Cipher::Aes128, Cipher::Aes256,
                                                              Cipher::Lea128, Cipher::Lea256)),
                         [](const auto& param) {
                             return "Method" + std::to_string(std::get<0>(param.param)) +
                                    CipherName(std::get<1>(param.param));
                         });

TEST(EggMethodsTest, ChangedDataIsCaughtByTheCrcOrTheAuthenticationCode) {
    for (Cipher cipher : {Cipher::None, Cipher::Aes256, Cipher::Lea128}) {
        EggWriter writer;
        writer.ArchiveHeader();
        AddEggEntry(writer, "a.txt", Text(5000), 0, cipher);
        Bytes bytes = writer.Data();
        bytes[bytes.size() - 100] ^= 0x01;
        ScratchFolder folder;
        ASSERT_TRUE(Testing::WriteBytes(folder / L"test.egg", bytes));
        EggDecoder decoder;
        decoder.SetPassword(Platform::Utf8ToWide(kPassword));
        ASSERT_EQ(decoder.Open(folder / L"test.egg"), DecodeResult::Ok);
        EXPECT_EQ(decoder.ExtractToFile(0, folder / L"a.txt"), DecodeResult::CrcMismatch) << CipherName(cipher);
        EXPECT_FALSE(Platform::PathExists(folder / L"a.txt"));
    }
}

TEST(EggMethodsTest, AzoIsListedAndNamedInItsFailure) {
    EggWriter writer;
    writer.ArchiveHeader();
    Testing::EggBlock block;
    block.content = Testing::ToBytes("abc");
    block.method = 3;
    writer.FileHeader(3).FileName("azo.bin").EndMarker().Block(block);
    ScratchFolder folder;
    ASSERT_TRUE(writer.WriteTo(folder / L"azo.egg"));
    EggDecoder decoder;
    ASSERT_EQ(decoder.Open(folder / L"azo.egg"), DecodeResult::Ok);
    ASSERT_EQ(decoder.ItemCount(), 1u);
    Bytes data;
    EXPECT_EQ(decoder.ExtractToMemory(0, data), DecodeResult::UnsupportedFormat);
    EXPECT_NE(decoder.LastErrorText().find(L"AZO"), std::wstring::npos)
        << std::string(decoder.LastErrorText().begin(), decoder.LastErrorText().end());
}

TEST(EggMethodsTest, OnlyAnArchiveOfUndecodableCiphersLeavesThePasswordUnchecked) {
    // Encryption method 9 is unknown; a global header covers every entry without its own.
    EggWriter writer;
    writer.ArchiveHeader().Extra(Testing::kEggGlobalEncryption, Bytes{9, 1, 2, 3});
    writer.File("a.txt", "alpha");
    ScratchFolder folder;
    ASSERT_TRUE(writer.WriteTo(folder / L"unknown.egg"));
    EggDecoder decoder;
    ASSERT_EQ(decoder.Open(folder / L"unknown.egg"), DecodeResult::Ok);
    EXPECT_TRUE(decoder.Items()[0].isEncrypted);
    decoder.SetPassword(L"anything");
    EXPECT_EQ(CheckPassword(decoder), PasswordCheck::Unverifiable);
}

TEST(EggMethodsTest, CommentsAndPosixInformationAreRead) {
    EggWriter writer;
    writer.ArchiveHeader();
    writer.FileHeader(1).FileName("unix.txt").Extra(Testing::kEggComment, Testing::ToBytes("entry note"));
    Bytes posix(20, 0);
    posix[0] = 0x24;  // 0100444: a read-only regular file
    posix[1] = 0x81;
    posix[12] = 100;  // 100 s after 1970
    writer.Extra(Testing::kEggPosixFileInfo, posix).EndMarker();
    Testing::EggBlock block;
    block.content = Testing::ToBytes("u");
    writer.Block(block).Extra(Testing::kEggComment, Testing::ToBytes("archive note"));
    ScratchFolder folder;
    ASSERT_TRUE(writer.WriteTo(folder / L"notes.egg"));
    EggDecoder decoder;
    ASSERT_EQ(decoder.Open(folder / L"notes.egg"), DecodeResult::Ok);
    ASSERT_EQ(decoder.ItemCount(), 1u);
    EXPECT_EQ(decoder.Items()[0].comment, L"entry note");
    EXPECT_EQ(decoder.Items()[0].attributes, 0x21u);
    EXPECT_EQ(decoder.Items()[0].modifiedTime, 116444736000000000ULL + 1000000000ULL);
    EXPECT_EQ(decoder.ArchiveComment(), L"archive note");
}

class AlzMethodCipherTest : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(AlzMethodCipherTest, EntriesComeOutExact) {
    const auto method = static_cast<std::uint8_t>(std::get<0>(GetParam()));
    const bool encrypted = std::get<1>(GetParam());
    // More than one block of ALZ's bzip2.
    const Bytes big = Text(250000);
    Testing::AlzWriter writer;
    writer.ArchiveHeader();
    for (const Bytes& content : {big, Testing::ToBytes("x"), Bytes{}}) {
        Testing::AlzEntry entry;
        entry.name = "f" + std::to_string(content.size());
        entry.content = content;
        entry.method = content.empty() ? 0 : method;
        entry.encrypted = encrypted;
        entry.password = kPassword;
        writer.Add(entry);
    }
    ScratchFolder folder;
    ASSERT_TRUE(writer.WriteTo(folder / L"test.alz"));
    AlzDecoder decoder;
    ASSERT_EQ(decoder.Open(folder / L"test.alz"), DecodeResult::Ok);
    ASSERT_EQ(decoder.ItemCount(), 3u);
    Bytes data;
    if (encrypted) {
        decoder.SetPassword(L"wrong");
        EXPECT_EQ(decoder.ExtractToMemory(0, data), DecodeResult::WrongPassword);
        decoder.SetPassword(Platform::Utf8ToWide(kPassword));
    }
    ASSERT_EQ(decoder.ExtractToMemory(0, data), DecodeResult::Ok);
    EXPECT_EQ(data, big);
    ASSERT_EQ(decoder.ExtractToMemory(1, data), DecodeResult::Ok);
    EXPECT_EQ(data, Testing::ToBytes("x"));
    ScratchFolder out;
    ASSERT_EQ(decoder.ExtractAll(out.Path()), DecodeResult::Ok);
    EXPECT_EQ(Testing::ReadText(out / L"f0"), "");
}

INSTANTIATE_TEST_SUITE_P(EveryPairing, AlzMethodCipherTest,
                         ::testing::Combine(::testing::Values(0, 1, 2), ::testing::Bool()), [](const auto& param) {
                             return "Method" + std::to_string(std::get<0>(param.param)) +
                                    (std::get<1>(param.param) ? "Zip" : "Plain");
                         });

TEST(AlzMethodsTest, DamagedOrCutBzip2FailsInsteadOfGivingWrongData) {
    const Bytes text = Text(250000);
    Bytes packed = Testing::AlzBzip2(text);
    Bytes data;
    ASSERT_EQ(DecodeAlzBzip2(packed.data(), packed.size(), text.size(), data), DecodeResult::Ok);
    for (std::size_t cut : {packed.size() / 2, packed.size() - 5}) {
        EXPECT_EQ(DecodeAlzBzip2(packed.data(), cut, text.size(), data), DecodeResult::DecompressFailed) << cut;
    }
    EXPECT_EQ(DecodeAlzBzip2(packed.data(), packed.size(), text.size() + 1, data), DecodeResult::DecompressFailed);
    EXPECT_EQ(DecodeAlzBzip2(packed.data(), packed.size(), text.size() - 1, data), DecodeResult::DecompressFailed);
    Bytes standard = Testing::Bzip2(text);
    EXPECT_EQ(DecodeBzip2(standard.data(), standard.size() - 1, text.size(), data), DecodeResult::DecompressFailed);
    Bytes lzma = Testing::EggLzma(text);
    EXPECT_EQ(DecodeEggLzma(lzma.data(), lzma.size() / 2, text.size(), data), DecodeResult::DecompressFailed);
    // A dictionary claim of 4 GiB is not allocated: the entry's size bounds it.
    Bytes hostile = lzma;
    for (int i = 5; i < 9; ++i) hostile[static_cast<std::size_t>(i)] = 0xFF;
    ASSERT_EQ(DecodeEggLzma(hostile.data(), hostile.size(), text.size(), data), DecodeResult::Ok);
    EXPECT_EQ(data, text);
}

Bytes Hex(const char* text) {
    Bytes bytes;
    for (; text[0] != 0 && text[1] != 0; text += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(std::string(text, 2), nullptr, 16)));
    return bytes;
}

TEST(CipherKnownAnswerTest, AesAndLeaMatchPublishedVectors) {
    struct Vector {
        bool lea;
        const char* key;
        const char* plain;
        const char* cipher;
    };
    // AES: FIPS-197 appendix C; LEA: the LEA reference vectors (lea_vs.c).
    const Vector vectors[] = {
        {false, "000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff",
         "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {false, "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "00112233445566778899aabbccddeeff",
         "8ea2b7ca516745bfeafc49904b496089"},
        {true, "07AB6305B025D83F79ADDAA63AC8AD00", "F28AE3256AAD23B415E028063B610C60",
         "64D908FCB7EBFEF90FD670106DE7C7C5"},
        {true, "4F6779E2BD1E9319C63015ACFFEFD7A791F0ED59DF1B700769FE82E2F0668C35", "DC31CAE3DA5E0A11C966B020D7CFFEDE",
         "EDA2042098F667E857A02DB8CAA7DFF2"},
    };
    for (const Vector& v : vectors) {
        Bytes key = Hex(v.key);
        Bytes plain = Hex(v.plain);
        Bytes out(16);
        bool ok = v.lea ? EncryptLeaBlock(key.data(), key.size(), plain.data(), out.data())
                        : EncryptAesBlock(key.data(), key.size(), plain.data(), out.data());
        ASSERT_TRUE(ok);
        EXPECT_EQ(out, Hex(v.cipher)) << v.key;
    }
}

}  // namespace
}  // namespace Arkova
