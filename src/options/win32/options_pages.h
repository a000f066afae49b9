#pragma once
// The three pages of the options dialog, in the order the page list shows them: "일반" (the general settings),
// "쉘 통합" (the context-menu verbs, registered and removed at once by its buttons) and "기타" (empty for now).
// UI thread only.

#include <windows.h>

#include <memory>
#include <vector>

#include "options/shell_file_types.h"
#include "options/win32/options_page.h"
#include "wingui/button.h"
#include "wingui/edit.h"
#include "wingui/gdi_handles.h"
#include "wingui/list_view.h"

namespace Arkova {

// A page painted in the button-face colour, its static texts and buttons too (text in the button-text colour),
// with the system's message font on its controls.
class ButtonFacePage : public OptionsPage {
protected:
    ButtonFacePage(std::wstring name, int templateId);

    bool CreateFacePage(HWND dialog, HINSTANCE instance, const RECT& pageRect);

    HBRUSH OnCtlColorStatic(HDC dc, HWND control) override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    HBRUSH PaintFace(HDC dc);

    WinGui::Brush background_;
    WinGui::Font font_;
};

class GeneralOptions : public ButtonFacePage {
public:
    GeneralOptions();

    bool Create(HWND dialog, HINSTANCE instance, const RECT& pageRect) override;
    void Load() override;
    // Stores nothing when the page could not be made: unticked boxes that were never shown are no answer.
    void Save() override;

protected:
    bool OnInitDialog() override;

private:
    WinGui::Button rememberWindow_;
    WinGui::Button contextMenuPreview_;
    WinGui::Button parallel_;
    WinGui::Button parallelTemp_;
    WinGui::Button closeOnFinish_;
    WinGui::Button openDestination_;
    WinGui::Edit welcome_;
};

// Its buttons act at once and report in message boxes; Save stores nothing, and "취소" undoes nothing.
class ShellOptions : public OptionsPage {
public:
    ShellOptions();

    bool Create(HWND dialog, HINSTANCE instance, const RECT& pageRect) override;
    // Ticks each row exactly when its verbs are registered.
    void Load() override;
    void Save() override {}

    const std::vector<ShellFileType>& Types() const { return types_; }

protected:
    bool OnInitDialog() override;

private:
    void FillRows();
    void RegisterChecked();
    void Unregister();

    std::vector<ShellFileType> types_;
    WinGui::ListView list_;
    WinGui::Button register_;
    WinGui::Button unregister_;
    // Check boxes set while the rows are filled are not the user's changes.
    bool filling_ = false;
};

// No settings yet: the page shows nothing and stores nothing.
class OtherOptions : public ButtonFacePage {
public:
    OtherOptions();

    bool Create(HWND dialog, HINSTANCE instance, const RECT& pageRect) override;
    void Load() override {}
    void Save() override {}
};

// The pages in list order.
std::vector<std::unique_ptr<OptionsPage>> MakeOptionsPages();

}  // namespace Arkova
