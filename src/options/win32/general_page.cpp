#include "options/general_options_state.h"
#include "options/win32/options_pages.h"
#include "resource.h"

namespace Arkova {

GeneralOptions::GeneralOptions() : ButtonFacePage(L"일반", IDD_OPTIONS_GENERAL) {}

bool GeneralOptions::Create(HWND dialog, HINSTANCE instance, const RECT& pageRect) {
    return CreateFacePage(dialog, instance, pageRect);
}

bool GeneralOptions::OnInitDialog() {
    rememberWindow_.Attach(Handle(), IDC_GENERAL_REMEMBER_WINDOW);
    contextMenuPreview_.Attach(Handle(), IDC_GENERAL_CONTEXT_PREVIEW);
    parallel_.Attach(Handle(), IDC_GENERAL_PARALLEL);
    parallelTemp_.Attach(Handle(), IDC_GENERAL_PARALLEL_TEMP);
    closeOnFinish_.Attach(Handle(), IDC_GENERAL_CLOSE_ON_FINISH);
    openDestination_.Attach(Handle(), IDC_GENERAL_OPEN_DEST);
    welcome_.Attach(Handle(), IDC_GENERAL_WELCOME);
    welcome_.SetLimit(static_cast<int>(kWelcomeMsgMaxLength));
    // Nothing stands behind this box: it shows what the shell's context menu always offers and cannot be changed.
    contextMenuPreview_.SetEnabled(false);
    return false;
}

void GeneralOptions::Load() {
    if (PageWindow() == nullptr) return;
    GeneralOptionsState state = LoadGeneralOptions();
    rememberWindow_.SetChecked(state.rememberWindowPos);
    contextMenuPreview_.SetChecked(state.contextMenuPreview);
    welcome_.SetText(state.welcomeMsg);
    parallel_.SetChecked(state.useParallelAllExtract);
    parallelTemp_.SetChecked(state.useParallelTempFolder);
    closeOnFinish_.SetChecked(state.closeDialogOnFinished);
    openDestination_.SetChecked(state.openDestFolderOnFinished);
}

void GeneralOptions::Save() {
    if (PageWindow() == nullptr) return;
    GeneralOptionsState state;
    state.rememberWindowPos = rememberWindow_.Checked();
    state.welcomeMsg = welcome_.Text();
    state.useParallelAllExtract = parallel_.Checked();
    state.useParallelTempFolder = parallelTemp_.Checked();
    state.closeDialogOnFinished = closeOnFinish_.Checked();
    state.openDestFolderOnFinished = openDestination_.Checked();
    SaveGeneralOptions(state);
}

}  // namespace Arkova
