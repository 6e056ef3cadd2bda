#pragma once
// What the test map control reports about itself to the checks, through its
// export TestMapState. Switches: the environment variable VAMU_TEST_MAP set
// to "fail-create" (the class factory refuses), "fail-activate" (DoVerb
// fails) or "no-rdw2010" (the control offers another data set only).

#include <windows.h>

struct TestMapReport {
    LONG objects;      // controls, collections and items alive
    LONG connections;  // sinks the controls hold (Advise minus Unadvise)
    LONG sinkRefs;     // references the controls hold on sinks
    LONG userMode;     // the ambient UserMode the last control read: 1 True, 0 False, -1 not read
    LONG ambientFont;  // 1 when the last control read an ambient font
    LONG fired;        // PositionChanged events raised
};

using TestMapStateProc = void(WINAPI*)(TestMapReport*);
