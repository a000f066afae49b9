#include "support/win32/dialog_answerer.h"

#include <algorithm>
#include <utility>

#include "support/win32/control_readers.h"

namespace Arkova::Testing {

namespace {

thread_local DialogAnswerer* current = nullptr;

// A message box's text is the static control with this id.
constexpr int kMessageBoxTextId = 0xFFFF;

// How long a dialog's modal loop may take to show it before it is answered hidden.
constexpr DWORD kShowWaitMs = 10000;

bool IsDialogWindow(HWND window) {
    wchar_t name[16] = {};
    return ::GetClassNameW(window, name, 16) > 0 && std::wstring_view(name) == L"#32770";
}

std::vector<std::wstring> ChildTexts(HWND dialog) {
    std::vector<std::wstring> texts;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        texts.push_back(WindowText(child));
    }
    return texts;
}

}  // namespace

ShownDialog::ShownDialog(DialogAnswerer& answerer, HWND dialog, size_t record)
    : answerer_(answerer), dialog_(dialog), record_(record) {}

std::wstring ShownDialog::Caption() const { return WindowText(dialog_); }

std::wstring ShownDialog::Text() const { return ItemText(kMessageBoxTextId); }

std::wstring ShownDialog::ItemText(int id) const { return Testing::ItemText(dialog_, id); }

void ShownDialog::Press(int id) {
    answerer_.seen_[record_].pressed = id;
    HWND item = ::GetDlgItem(dialog_, id);
    wchar_t name[16] = {};
    if (item != nullptr && ::GetClassNameW(item, name, 16) > 0 && _wcsicmp(name, L"Button") == 0) {
        ::SendMessageW(item, BM_CLICK, 0, 0);
    } else {
        ::SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item));
    }
}

DialogAnswerer::DialogAnswerer(Answer answer) : answer_(std::move(answer)) {
    current = this;
    hook_ = ::SetWindowsHookExW(WH_CBT, &DialogAnswerer::CbtHook, nullptr, ::GetCurrentThreadId());
}

DialogAnswerer::~DialogAnswerer() {
    if (hook_ != nullptr) ::UnhookWindowsHookEx(hook_);
    current = nullptr;
}

LRESULT CALLBACK DialogAnswerer::CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    DialogAnswerer* self = current;
    auto window = reinterpret_cast<HWND>(wParam);
    if (self != nullptr && code == HCBT_CREATEWND && IsDialogWindow(window)) {
        self->created_.push_back(window);
    } else if (self != nullptr && code == HCBT_ACTIVATE &&
               std::ranges::find(self->created_, window) != self->created_.end()) {
        std::erase(self->created_, window);
        if (self->pending_.empty()) self->pendingSince_ = ::GetTickCount();
        self->pending_.push_back(window);
        // The dialog is only being activated: answer it from its own modal loop, which dispatches the timer.
        ::SetTimer(nullptr, 0, 0, &DialogAnswerer::AnswerPending);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK DialogAnswerer::AnswerPending(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    DialogAnswerer* self = current;
    // A modal loop shows its dialog the first time its queue is empty, and a slow start (a fresh Wine prefix) lets
    // this timer come first. Answering then would pump from inside the timer, so the loop would never show it: wait.
    if (self != nullptr && !self->pending_.empty() && !::IsWindowVisible(self->pending_.front()) &&
        ::IsWindow(self->pending_.front()) && ::GetTickCount() - self->pendingSince_ < kShowWaitMs) {
        ::SetTimer(nullptr, 0, 10, &DialogAnswerer::AnswerPending);
        return;
    }
    // An answer may open another dialog, whose timer runs inside it: take each dialog off the list first.
    while (self != nullptr && !self->pending_.empty()) {
        HWND dialog = self->pending_.front();
        self->pending_.erase(self->pending_.begin());
        if (::IsWindow(dialog)) self->AnswerOne(dialog);
    }
}

void DialogAnswerer::AnswerOne(HWND dialog) {
    SeenDialog record;
    record.caption = WindowText(dialog);
    record.text = Testing::ItemText(dialog, kMessageBoxTextId);
    record.texts = ChildTexts(dialog);
    seen_.push_back(std::move(record));
    ShownDialog shown(*this, dialog, seen_.size() - 1);
    if (answer_) answer_(shown);
}

}  // namespace Arkova::Testing
