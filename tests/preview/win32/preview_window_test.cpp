// Guards the image preview end to end on Windows: the imaging component decodes PNG, GIF, BMP and TIFF and scales
// to the limits; JPEG data goes to libjpeg-turbo and anything else (or a JPEG it refuses) to the component; the
// thumbnail maker centres on white; the main window previews a JPEG and a PNG entry at the pane's size, hides the
// pane for other rows, thumbnails image rows only (not an encrypted one without its password), and survives
// archives closed and replaced while the thumbnail workers run, or a decoder held further up the UI thread.
#include <windows.h>

#include <commctrl.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include "app/settings.h"
#include "image_writers.h"
#include "preview/jpeg_turbo_decoder.h"
#include "preview/win32/image_decoder_choice.h"
#include "preview/win32/thumbnail.h"
#include "preview/win32/wic_decoder.h"
#include "resource.h"
#include "support/registry_sandbox.h"
#include "support/scratch_folder.h"
#include "support/win32/control_readers.h"
#include "support/win32/pump_until.h"
#include "support/win32/recording_shell.h"
#include "support/win32/screenshot.h"
#include "support/zip_writer.h"
#include "ui/win32/gdiplus.h"
#include "ui/win32/main_window.h"
#include "wingui/dpi.h"

namespace Arkova {
namespace {

using Testing::Rgb;

// The bitmap's pixels as 32-bit BGRA rows, top to bottom.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> data;
    Rgb At(int x, int y) const {
        const std::uint32_t value = data[static_cast<std::size_t>(y) * width + x];
        return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                static_cast<std::uint8_t>(value)};
    }
};

Pixels ReadBitmap(HBITMAP bitmap) {
    Pixels pixels;
    BITMAP header{};
    if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof(header), &header) == 0) return pixels;
    pixels.width = header.bmWidth;
    pixels.height = std::abs(header.bmHeight);
    pixels.data.resize(static_cast<std::size_t>(pixels.width) * pixels.height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(pixels.height), pixels.data.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

Rgb DecodedAt(const IImageDecoder& decoder, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* pixel = decoder.Pixels() + y * decoder.Stride() + x * 4;
    return {pixel[2], pixel[1], pixel[0]};
}

void ExpectColour(Rgb actual, Rgb expected, int tolerance) {
    EXPECT_NEAR(actual.red, expected.red, tolerance);
    EXPECT_NEAR(actual.green, expected.green, tolerance);
    EXPECT_NEAR(actual.blue, expected.blue, tolerance);
}

// A stored entry; flag bit 0 marks it encrypted.
Testing::ZipWriterEntry Stored(const std::string& name, const std::vector<std::uint8_t>& content,
                               std::uint16_t flags = 0) {
    Testing::ZipWriterEntry entry;
    entry.name = name;
    entry.content = content;
    entry.method = 0;
    entry.flags = flags;
    return entry;
}

std::vector<std::uint8_t> SolidPng(int width, int height, Rgb colour) {
    return Testing::EncodeWithWic(GUID_ContainerFormatPng, width, height, [colour](int, int) { return colour; });
}

class ImageDecodingTest : public ::testing::Test {
protected:
    GdiplusSession gdiplus_;
};

TEST_F(ImageDecodingTest, TheImagingComponentDecodesPngGifBmpAndTiffAndScalesToTheLimits) {
    const Rgb colour{30, 140, 220};
    // Left half one colour, right half another: the decoded rows and columns are where they belong.
    auto halves = [colour](int x, int) { return x < 40 ? colour : Rgb{250, 250, 0}; };
    struct Case {
        const char* format;
        std::vector<std::uint8_t> data;
    };
    const std::vector<Case> cases = {
        {"png", Testing::EncodeWithWic(GUID_ContainerFormatPng, 80, 60, halves)},
        {"bmp", Testing::EncodeWithWic(GUID_ContainerFormatBmp, 80, 60, halves)},
        {"tiff", Testing::EncodeWithWic(GUID_ContainerFormatTiff, 80, 60, halves)},
        {"gif", Testing::MakeSolidGif(80, 60, colour)},
    };
    for (const Case& format : cases) {
        SCOPED_TRACE(format.format);
        ASSERT_FALSE(format.data.empty());
        WicDecoder decoder;
        ASSERT_TRUE(decoder.LoadMemory(format.data.data(), format.data.size()));
        EXPECT_EQ(decoder.Width(), 80u);
        EXPECT_EQ(decoder.Height(), 60u);
        EXPECT_EQ(decoder.Stride(), 320u);
        ExpectColour(DecodedAt(decoder, 10, 30), colour, 0);
        EXPECT_EQ(decoder.Pixels()[10 * 4 + 3], 255);
        if (std::string(format.format) != "gif") ExpectColour(DecodedAt(decoder, 70, 30), {250, 250, 0}, 0);
    }

    // Larger than the limits: fitted into them by the scaler; smaller: left alone (the pane enlarges it).
    const std::vector<std::uint8_t> big = SolidPng(2000, 1500, colour);
    WicDecoder decoder;
    ASSERT_TRUE(decoder.LoadMemory(big.data(), big.size(), 400, 300, false));
    EXPECT_EQ(decoder.Width(), 400u);
    EXPECT_EQ(decoder.Height(), 300u);
    EXPECT_EQ(decoder.SourceWidth(), 2000u);
    ExpectColour(DecodedAt(decoder, 200, 150), colour, 0);
    const std::vector<std::uint8_t> small = SolidPng(120, 30, colour);
    ASSERT_TRUE(decoder.LoadMemory(small.data(), small.size(), 400, 300, true));
    EXPECT_EQ(decoder.Width(), 120u);

    Testing::ScratchFolder folder;
    ASSERT_TRUE(Testing::WriteBytes(folder / L"그림.png", small));
    ASSERT_TRUE(decoder.LoadFile(folder / L"그림.png"));
    EXPECT_EQ(decoder.Height(), 30u);
    EXPECT_FALSE(decoder.LoadFile(folder / L"없음.png"));
    const std::vector<std::uint8_t> junk = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_FALSE(decoder.LoadMemory(junk.data(), junk.size()));
    EXPECT_EQ(decoder.Pixels(), nullptr);
}

TEST_F(ImageDecodingTest, JpegDataGoesToTheJpegDecoderAndEverythingElseToTheImagingComponent) {
    std::unique_ptr<IImageDecoder> slot;
    const std::vector<std::uint8_t> jpeg = Testing::MakeSolidJpeg(1000, 750, {200, 30, 30});
    ASSERT_TRUE(CreateImageDecoderForData(slot, jpeg.data(), jpeg.size(), 400, 300));
    EXPECT_NE(dynamic_cast<JpegTurboDecoder*>(slot.get()), nullptr);
    EXPECT_EQ(slot->Width(), 500u) << "reduced by half while decoding";

    // "a.jpg" holding PNG data.
    const std::vector<std::uint8_t> png = SolidPng(50, 40, {1, 2, 3});
    ASSERT_TRUE(CreateImageDecoderForData(slot, png.data(), png.size(), 400, 300));
    EXPECT_NE(dynamic_cast<WicDecoder*>(slot.get()), nullptr);
    EXPECT_EQ(slot->Width(), 50u);

    // Starts like a JPEG but is none: both decoders refuse it; the slot keeps an empty imaging decoder.
    const std::vector<std::uint8_t> fake = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(CreateImageDecoderForData(slot, fake.data(), fake.size(), 400, 300));
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->Pixels(), nullptr);
    EXPECT_FALSE(CreateImageDecoderForData(slot, nullptr, 0, 400, 300));
    EXPECT_EQ(slot, nullptr);
}

TEST_F(ImageDecodingTest, AThumbnailIsTheImageFittedAndCentredOnWhite) {
    const Rgb red{220, 20, 20};
    const std::vector<std::uint8_t> png = SolidPng(100, 50, red);
    WinGui::Bitmap thumbnail(MakeThumbnail(png.data(), png.size(), 128));
    ASSERT_NE(thumbnail.Get(), nullptr);
    Pixels pixels = ReadBitmap(thumbnail.Get());
    ASSERT_EQ(pixels.width, 128);
    ASSERT_EQ(pixels.height, 128);
    // 128 x 64 at y = 32 (the scaler blends the outermost pixels with what lies beyond them).
    for (int x : {2, 64, 125}) {
        SCOPED_TRACE(x);
        ExpectColour(pixels.At(x, 20), {255, 255, 255}, 0);
        ExpectColour(pixels.At(x, 32), red, 12);
        ExpectColour(pixels.At(x, 31), {255, 255, 255}, 0);
        ExpectColour(pixels.At(x, 64), red, 12);
        ExpectColour(pixels.At(x, 94), red, 12);
        ExpectColour(pixels.At(x, 96), {255, 255, 255}, 0);
        ExpectColour(pixels.At(x, 108), {255, 255, 255}, 0);
    }
    const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(MakeThumbnail(text.data(), text.size(), 128), nullptr);
    EXPECT_EQ(MakeThumbnail(nullptr, 0, 128), nullptr);
}

constexpr Rgb kJpegColour{40, 120, 200};
constexpr Rgb kPngColour{200, 60, 20};

// The main window on a ZIP of images (read by the 7-Zip library, as users' archives are).
class PreviewWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Globals() = GlobalSettings{};
        // A framed picture, so the screenshots show how it fits; the sampled middle is kJpegColour.
        jpeg_ = Testing::MakeJpeg(1600, 1200, [](int x, int y) {
            const bool frame = x < 160 || x >= 1440 || y < 120 || y >= 1080;
            return frame ? Rgb{250, 220, 120} : kJpegColour;
        });
        const std::vector<std::uint8_t> png = SolidPng(120, 80, kPngColour);
        Testing::ZipWriter zip;
        zip.Add(Stored("photos/a.jpg", jpeg_));
        zip.Add(Stored("photos/b.png", png));
        zip.File("photos/readme.txt", "not an image");
        zip.Add(Stored("photos/locked.png", png, 1));
        ASSERT_TRUE(zip.Finish().WriteTo(archive_));
        ASSERT_TRUE(window_.Create(SW_SHOWNORMAL));
        const UINT dpi = WinGui::DpiForWindow(window_.Handle());
        ::SetWindowPos(window_.Handle(), nullptr, 0, 0, WinGui::Scale(1000, dpi), WinGui::Scale(700, dpi),
                       SWP_NOZORDER);
    }
    void TearDown() override { window_.Destroy(); }

    HWND List() { return window_.Browser().List(); }
    int RowOf(const std::wstring& name) {
        const auto rows = Testing::ListViewRows(List());
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].at(0) == name) return static_cast<int>(i);
        }
        return -1;
    }
    void SelectOnly(const std::wstring& name) {
        ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
        const int row = RowOf(name);
        ASSERT_GE(row, 0) << "no row " << testing::PrintToString(name);
        ListView_SetItemState(List(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }

    Testing::RegistrySandbox registry_;
    GdiplusSession gdiplus_;
    Testing::ScratchFolder folder_;
    std::wstring archive_ = folder_ / L"사진.zip";
    std::vector<std::uint8_t> jpeg_;
    Testing::RecordingShell shell_;
    MainWindow window_{shell_};
};

TEST_F(PreviewWindowTest, ThePanePreviewsJpegAndPngEntriesAtItsSizeAndHidesForOtherRows) {
    ASSERT_TRUE(window_.OpenArchiveFile(archive_));
    window_.Browser().NavigateToFolder(L"photos");
    ASSERT_EQ(window_.Browser().CurrentFolder(), L"photos");
    EXPECT_FALSE(window_.PreviewVisible());

    SelectOnly(L"a.jpg");
    ASSERT_TRUE(window_.PreviewVisible());
    EXPECT_EQ(window_.PreviewItemPath(), L"photos/a.jpg");
    RECT pane{};
    ::GetClientRect(window_.Preview().Handle(), &pane);
    JpegTurboDecoder expected;
    ASSERT_TRUE(expected.LoadMemory(jpeg_.data(), jpeg_.size(), static_cast<std::uint32_t>(pane.right),
                                    static_cast<std::uint32_t>(pane.bottom), false));
    EXPECT_LT(expected.Width(), 1600u) << "the pane is smaller than the picture: it is reduced while decoding";
    Pixels shown = ReadBitmap(window_.Preview().Bitmap());
    EXPECT_EQ(shown.width, static_cast<int>(expected.Width()));
    EXPECT_EQ(shown.height, static_cast<int>(expected.Height()));
    ExpectColour(shown.At(shown.width / 2, shown.height / 2), kJpegColour, 6);
    Testing::SaveScreenshot(window_.Handle(), L"preview-jpeg");

    SelectOnly(L"b.png");
    EXPECT_EQ(window_.PreviewItemPath(), L"photos/b.png");
    shown = ReadBitmap(window_.Preview().Bitmap());
    EXPECT_EQ(shown.width, 120);
    EXPECT_EQ(shown.height, 80);
    ExpectColour(shown.At(60, 40), kPngColour, 0);
    Testing::SaveScreenshot(window_.Handle(), L"preview-png");

    // A double-click on the pane opens the previewed entry: without the image viewer, through the shell.
    ::SendMessageW(window_.Preview().Handle(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(shell_.files.size(), 1u);
    EXPECT_EQ(shell_.files[0].file.substr(shell_.files[0].file.size() - 6), L"\\b.png");

    // Two rows selected: nothing changes.
    ListView_SetItemState(List(), RowOf(L"a.jpg"), LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(window_.PreviewItemPath(), L"photos/b.png");

    // A text row hides the pane; an encrypted image without the password shows nothing and keeps it hidden.
    SelectOnly(L"readme.txt");
    EXPECT_FALSE(window_.PreviewVisible());
    EXPECT_FALSE(window_.Preview().HasImage());
    EXPECT_TRUE(window_.PreviewItemPath().empty());
    SelectOnly(L"locked.png");
    EXPECT_FALSE(window_.Preview().HasImage());
    EXPECT_FALSE(window_.PreviewVisible());

    // While this thread uses the decoder further up (a job pumping messages), a selection previews nothing and
    // does not wait.
    SelectOnly(L"b.png");
    ASSERT_TRUE(window_.Preview().HasImage());
    {
        std::lock_guard held(window_.Session().decoderMutex);
        SelectOnly(L"a.jpg");
        EXPECT_EQ(window_.PreviewItemPath(), L"") << "the deselection emptied the pane; a.jpg was not shown";
        EXPECT_FALSE(window_.Preview().HasImage());
        window_.BuildThumbnails();  // stops and starts workers without waiting for the decoder
        EXPECT_FALSE(window_.OpenArchiveFile(archive_)) << "the decoder in use is not replaced";
    }
    EXPECT_TRUE(window_.Session().HasOpenArchive());

    // Closing the archive empties and hides the pane.
    ::SendMessageW(window_.Handle(), WM_COMMAND, IDM_FILE_CLOSE, 0);
    EXPECT_FALSE(window_.PreviewVisible());
    EXPECT_FALSE(window_.Preview().HasImage());
}

TEST_F(PreviewWindowTest, ThumbnailsReplaceTheIconsOfImageRowsOnly) {
    ASSERT_TRUE(window_.OpenArchiveFile(archive_));
    window_.Browser().NavigateToFolder(L"photos");
    ::SendMessageW(window_.Handle(), WM_COMMAND, IDM_VIEW_LARGE_ICONS, 0);
    ASSERT_EQ(::SendMessageW(List(), LVM_GETVIEW, 0, 0), LV_VIEW_ICON);
    BrowserView& browser = window_.Browser();
    ASSERT_TRUE(Testing::PumpUntil([&] { return browser.ThumbnailCount() == 2 && !browser.ThumbnailWorkersRunning(); }))
        << browser.ThumbnailCount() << " a " << browser.RowHasThumbnail(RowOf(L"a.jpg")) << " b "
        << browser.RowHasThumbnail(RowOf(L"b.png")) << " running " << browser.ThumbnailWorkersRunning();
    // Whatever was still on its way has arrived.
    Testing::PumpUntil([] { return false; }, 100);
    EXPECT_TRUE(browser.RowHasThumbnail(RowOf(L"a.jpg")));
    EXPECT_TRUE(browser.RowHasThumbnail(RowOf(L"b.png")));
    EXPECT_FALSE(browser.RowHasThumbnail(RowOf(L"readme.txt")));
    EXPECT_FALSE(browser.RowHasThumbnail(RowOf(L"locked.png"))) << "encrypted, and no password is known";
    EXPECT_EQ(browser.ThumbnailCount(), 2);

    // Each row shows its own image: the thumbnails, and the icons of the other rows.
    auto image = [&](const std::wstring& name) {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = RowOf(name);
        ListView_GetItem(List(), &item);
        return item.iImage;
    };
    EXPECT_NE(image(L"a.jpg"), image(L"b.png"));
    EXPECT_NE(image(L"a.jpg"), image(L"locked.png"));
    HIMAGELIST images = ListView_GetImageList(List(), LVSIL_NORMAL);
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(images, &width, &height);
    EXPECT_EQ(width, 128);
    Testing::SaveScreenshot(window_.Handle(), L"thumbnails-icons");

    // Back to the details: the system's small icons again.
    ::SendMessageW(window_.Handle(), WM_COMMAND, IDM_VIEW_DETAILS, 0);
    EXPECT_NE(ListView_GetImageList(List(), LVSIL_SMALL), images);
}

TEST_F(PreviewWindowTest, ArchivesClosedAndReplacedWhileThumbnailsAreMade) {
    Testing::ZipWriter many;
    const std::vector<std::uint8_t> photo = Testing::MakeSolidJpeg(640, 480, {90, 200, 90}, 70);
    constexpr int kPhotos = 24;
    for (int i = 0; i < kPhotos; ++i) {
        many.Add(Stored("p" + std::to_string(i) + ".jpg", photo));
    }
    const std::wstring other = folder_ / L"many.zip";
    ASSERT_TRUE(many.Finish().WriteTo(other));
    ::SendMessageW(window_.Handle(), WM_COMMAND, IDM_VIEW_LARGE_ICONS, 0);
    BrowserView& browser = window_.Browser();
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(window_.OpenArchiveFile(round % 2 == 0 ? other : archive_));
        // Let a few thumbnails arrive in some rounds; replace the archive at once in others.
        if (round % 3 == 1) Testing::PumpUntil([&] { return browser.ThumbnailCount() >= 2; }, 2000);
        switch (round % 4) {
            case 0:
                ::SendMessageW(window_.Handle(), WM_COMMAND, IDM_FILE_CLOSE, 0);
                break;
            case 1:
                ::SendMessageW(window_.Handle(), WM_COMMAND, IDM_CODEPAGE_FIRST + 4, 0);  // read again as 949
                break;
            case 2:
                window_.BuildThumbnails();
                break;
            default:
                browser.SetSearchText(L"p1");
                browser.SetSearchText(L"");
                break;
        }
    }
    ASSERT_TRUE(window_.OpenArchiveFile(other));
    EXPECT_TRUE(Testing::PumpUntil([&] { return browser.ThumbnailCount() == kPhotos; }, 20000));
    // Every row has a place of its own in the icon view, not only those that were there when the view was set.
    POINT first{}, last{};
    ListView_GetItemPosition(List(), 0, &first);
    ListView_GetItemPosition(List(), kPhotos - 1, &last);
    EXPECT_TRUE(first.x != last.x || first.y != last.y);
    Testing::SaveScreenshot(window_.Handle(), L"thumbnails-many");
    // A narrower window lays the icons out for its width: none is left beyond the list's right edge.
    RECT frame{};
    ::GetWindowRect(window_.Handle(), &frame);
    ::SetWindowPos(window_.Handle(), nullptr, 0, 0, (frame.right - frame.left) / 2, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    ::GetClientRect(List(), &client);
    for (int row = 0; row < kPhotos; ++row) {
        RECT icon{};
        ListView_GetItemRect(List(), row, &icon, LVIR_ICON);
        EXPECT_LE(icon.right, client.right) << row;
    }
}

}  // namespace
}  // namespace Arkova
