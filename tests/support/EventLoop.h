#pragma once
// Lets the GUI library handle pending events until `done` holds, or a
// generous number of rounds has passed; returns whether it holds.
#include <wx/app.h>
#include <wx/utils.h>

namespace testsupport {

template <class Condition>
bool HandleEventsUntil(Condition done)
{
    for (int round = 0; round < 2000 && !done(); ++round) {
        wxYield();
        wxMilliSleep(5);
    }
    return done();
}

}  // namespace testsupport
