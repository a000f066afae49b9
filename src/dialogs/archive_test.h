// The test command: every file entry of the open archive is decompressed in memory and checked against its CRC,
// with progress in the progress window, and the report is shown at the end, followed by the decoder's warnings when
// it has any (they fail no entry). It never asks for a password.
#pragma once

#include "archive/archive_session.h"
#include "frontend/job_front_end.h"

namespace Arkova {

// False when no archive is open ("열린 압축 파일이 없습니다.") or the user cancelled (no report then). `report`,
// when given, receives what was shown.
bool TestArchive(ArchiveSession& session, JobFrontEnd& frontEnd, TestReport* report = nullptr);

}  // namespace Arkova
