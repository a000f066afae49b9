#pragma once
// Answers the modal dialogs and message boxes that code under test opens on this thread. A WH_CBT hook notes
// each dialog (class #32770) created while the answerer lives and, once the dialog is active and its modal loop
// runs, calls the test's answer with it; windows that are only re-activated (the owner, when the dialog closes)
// are never answered. One answerer per thread at a time.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace Arkova::Testing {

// What the answerer saw of one dialog.
struct SeenDialog {
    std::wstring caption;
    std::wstring text;                // a message box's message, or empty
    std::vector<std::wstring> texts;  // every child's text, in creation order
    int pressed = 0;                  // the last id given to Press, 0 for none
};

class DialogAnswerer;

// The dialog being answered.
class ShownDialog {
public:
    ShownDialog(DialogAnswerer& answerer, HWND dialog, size_t record);

    HWND Handle() const { return dialog_; }
    std::wstring Caption() const;
    std::wstring Text() const;
    std::wstring ItemText(int id) const;
    // Clicks button `id` (6 Yes, 7 No, 2 Cancel, 1 OK, or any control id); an id without a button is sent as
    // WM_COMMAND, as the keyboard does for IDCANCEL.
    void Press(int id);

private:
    DialogAnswerer& answerer_;
    HWND dialog_;
    size_t record_;
};

class DialogAnswerer {
public:
    using Answer = std::function<void(ShownDialog& dialog)>;

    explicit DialogAnswerer(Answer answer);
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;
    ~DialogAnswerer();

    const std::vector<SeenDialog>& Seen() const { return seen_; }

private:
    friend class ShownDialog;
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK AnswerPending(HWND, UINT, UINT_PTR timer, DWORD);
    void AnswerOne(HWND dialog);

    Answer answer_;
    HHOOK hook_ = nullptr;
    std::vector<HWND> created_;  // dialogs made since the answerer started, not yet answered
    std::vector<HWND> pending_;  // activated, waiting for their modal loop
    DWORD pendingSince_ = 0;     // when the oldest pending dialog was activated
    std::vector<SeenDialog> seen_;
};

}  // namespace Arkova::Testing
