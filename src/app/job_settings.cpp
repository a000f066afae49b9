#include "app/job_settings.h"

namespace Arkova {

JobSettings ReadJobSettings() {
    JobSettings settings;
    settings.useParallelAllExtract = ReadFlag(kSettingUseParallelAllExtract, settings.useParallelAllExtract);
    settings.useParallelTempFolder = ReadFlag(kSettingUseParallelTempFolder, settings.useParallelTempFolder);
    return settings;
}

}  // namespace Arkova
