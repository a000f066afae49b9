// Guards the dialog base against the faults that break every Arkova dialog: the object not reached from its
// procedure, a modeless dialog without keyboard navigation or left in the pump's list after it closed, an end
// code lost, a button's click not reaching its own callback, and modal dialogs or message boxes that a test
// cannot answer (or answers twice when their owner is activated again).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "resource.h"
#include "support/win32/control_readers.h"
#include "support/win32/dialog_answerer.h"
#include "support/win32/pump_until.h"
#include "support/win32/screenshot.h"
#include "wingui/button.h"
#include "wingui/dialog.h"
#include "wingui/dialog_units.h"
#include "wingui/modeless_dialogs.h"
#include "wingui/static.h"

namespace Arkova::WinGui {
namespace {

using Testing::ControlRect;
using Testing::ItemText;
using Testing::PumpUntil;
using Testing::WindowText;

std::array<LONG, 4> Edges(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// The about box, with its OK button bound to a control object. With confirmClose, OK asks first.
class AboutDialog : public Dialog {
public:
    explicit AboutDialog(bool confirmClose = false) : Dialog(IDD_ABOUT), confirmClose_(confirmClose) {}

    int inits = 0;
    int clicks = 0;
    int commandsSeen = 0;  // WM_COMMANDs that reached the dialog itself

protected:
    bool OnInitDialog() override {
        ++inits;
        text_.Attach(Handle(), IDC_ABOUT_TEXT);
        ok_.Attach(Handle(), IDOK);
        ok_.onClick = [this] {
            ++clicks;
            if (!confirmClose_ || ::MessageBoxW(Handle(), L"닫을까요?", L"알림", MB_YESNO) == IDYES) End(IDOK);
        };
        return true;
    }

    bool OnCommand(int id, int code, HWND control) override {
        ++commandsSeen;
        return Dialog::OnCommand(id, code, control);
    }

private:
    bool confirmClose_;
    Static text_;
    Button ok_;
};

TEST(Dialog, ModelessAboutBoxReadsBackClosesOnItsButtonAndOnEscape) {
    AboutDialog about;
    ASSERT_TRUE(about.CreateModeless(nullptr));
    HWND dialog = about.Handle();
    ::ShowWindow(dialog, SW_SHOW);
    EXPECT_EQ(about.inits, 1);
    EXPECT_EQ(Dialog::FromHandle(dialog), &about);
    EXPECT_TRUE(ModelessDialogs::Contains(dialog));
    EXPECT_FALSE(about.IsModal());

    EXPECT_EQ(WindowText(dialog), L"Arkova 정보");
    EXPECT_EQ(ItemText(dialog, IDC_ABOUT_TEXT), L"Arkova, 버전 1.0");
    EXPECT_EQ(ItemText(dialog, IDOK), L"확인");
    // The template places OK at 118, 42, size 50 × 14; the pixels follow the dialog's font.
    Testing::ItemRect ok = ControlRect(dialog, IDOK);
    EXPECT_EQ(Edges(ok.dialogUnits), (std::array<LONG, 4>{118, 42, 168, 56}));
    RECT width = DialogUnitsToPixels(dialog, RECT{0, 0, 50, 14});
    EXPECT_EQ(ok.pixels.right - ok.pixels.left, width.right);
    EXPECT_EQ(ok.pixels.bottom - ok.pixels.top, width.bottom);
    EXPECT_FALSE(Testing::SaveScreenshot(dialog, L"about").empty());

    ::SendMessageW(about.Item(IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(dialog); }));
    EXPECT_EQ(about.clicks, 1);
    EXPECT_EQ(about.commandsSeen, 0);  // the button handled its own click
    EXPECT_EQ(about.EndCode(), IDOK);
    EXPECT_EQ(about.Handle(), nullptr);
    EXPECT_FALSE(ModelessDialogs::Contains(dialog));

    // Esc reaches a modeless dialog only through IsDialogMessageW in the message pump.
    ASSERT_TRUE(about.CreateModeless(nullptr));
    dialog = about.Handle();
    ::ShowWindow(dialog, SW_SHOW);
    ::PostMessageW(about.Item(IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(dialog); }));
    EXPECT_EQ(about.EndCode(), IDCANCEL);
    EXPECT_EQ(about.commandsSeen, 1);
    EXPECT_EQ(about.inits, 2);
}

TEST(Dialog, ModalDialogsAndMessageBoxesAreAnsweredByButtonId) {
    Testing::DialogAnswerer answerer([](Testing::ShownDialog& shown) {
        if (shown.Caption() == L"Arkova 정보") {
            shown.Press(IDOK);
        } else if (shown.Text() == L"닫을까요?") {
            shown.Press(IDYES);
        } else {
            shown.Press(IDNO);
        }
    });

    // OK asks in a message box over the dialog; the dialog, activated again afterwards, is not answered again.
    AboutDialog about(true);
    EXPECT_EQ(about.ShowModal(nullptr), IDOK);
    EXPECT_TRUE(about.IsModal());
    EXPECT_EQ(about.clicks, 1);
    EXPECT_EQ(about.Handle(), nullptr);

    EXPECT_EQ(::MessageBoxW(nullptr, L"파일을 덮어쓸까요?", L"알림", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);

    const auto& seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].caption, L"Arkova 정보");
    EXPECT_EQ(seen[0].pressed, IDOK);
    EXPECT_NE(std::find(seen[0].texts.begin(), seen[0].texts.end(), L"Arkova, 버전 1.0"), seen[0].texts.end());
    EXPECT_EQ(seen[1].caption, L"알림");
    EXPECT_EQ(seen[1].text, L"닫을까요?");
    EXPECT_EQ(seen[1].pressed, IDYES);
    EXPECT_EQ(seen[2].text, L"파일을 덮어쓸까요?");
    EXPECT_EQ(seen[2].pressed, IDNO);

    // Failures are -1, whatever DialogBoxParam says.
    EXPECT_EQ(Dialog(9999).ShowModal(nullptr), -1);
    EXPECT_EQ(AboutDialog().ShowModal(reinterpret_cast<HWND>(0x7777)), -1);
    EXPECT_EQ(answerer.Seen().size(), 3u);
}

}  // namespace
}  // namespace Arkova::WinGui
