// Opening an archive into the session as every front end does: the password remembered for that path this
// session (or the one given), and, for an archive whose listing itself is encrypted, up to three rounds of the
// password question. User-interface thread only.
#pragma once

#include <optional>
#include <string>

#include "archive/archive_session.h"
#include "frontend/job_front_end.h"

namespace Arkova {

// On success the session names the archive; a password that opened it is kept there (and remembered when the
// user left "이 세션 동안 기억" on). `givenPassword` replaces both the cache and the question.
DecodeResult OpenArchiveWithPassword(ArchiveSession& session, const std::wstring& path, JobFrontEnd& frontEnd,
                                     const std::optional<std::wstring>& givenPassword = std::nullopt);

}  // namespace Arkova
