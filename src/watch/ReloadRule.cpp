// The pace and the two-poll rule of live reload; see ReloadRule.h.
#include "ReloadRule.h"

bool PollPace::due(double now) {
    if (now - last_poll < interval)
        return false;
    last_poll = now;
    return true;
}

void TwoPollRule::new_version() {
    failed_once = false;
}

bool TwoPollRule::report() {
    failed_once = !failed_once;
    return !failed_once;
}
