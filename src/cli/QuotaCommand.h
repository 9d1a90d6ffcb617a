#pragma once

#include <cstdio>
#include <string>

#include "platform/LocalClock.h"
#include "platform/LocaleTexts.h"

// `tallyglass --quota`: prints the current period of the quota in `dataFolder` to `out` (its
// days, what each limit allows, what is used and what is projected) and returns the exit code.
// It reads the data folder with the meter's own models and writes nothing; a period that has
// ended counts as rolled over, as the meter's next check would make it. A quota that is off or a
// quota file that cannot be read is an error, told on `err` in the user's language (`texts`); the
// report stays English for scripts.
int RunQuota(const std::string& dataFolder, const LocalClock& clock, const LocaleTexts& texts,
             std::FILE* out, std::FILE* err);
