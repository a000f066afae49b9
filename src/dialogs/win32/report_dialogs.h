// The two reports a job ends with: the archive test's result per entry (dialog 138) and the entries an
// extraction could not write, with the reason for each in Korean (dialog 139). Modal, UI thread.
#pragma once

#include <windows.h>

#include <vector>

#include "frontend/entry_failure.h"
#include "frontend/test_report.h"

namespace Arkova {

// Summary under the archive name, title " - OK" or " - Error Found", and one row per tested entry.
void ShowTestReportDialog(HWND owner, const TestReport& report);
// Does nothing for an empty list.
void ShowFailureListDialog(HWND owner, const std::vector<EntryFailure>& failures);

}  // namespace Arkova
