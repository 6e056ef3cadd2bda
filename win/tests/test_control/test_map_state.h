#pragma once
// What the test map control reports about itself to the checks, through its
// export TestMapState. Switches: the environment variable VAMU_TEST_MAP set
// to one of
//   fail-create       the class factory refuses (E_FAIL)
//   fail-activate     DoVerb fails
//   fail-second       DoVerb fails while another test map is active in
//                     place: the panel's second map fails after the first
//   no-rdw2010        the control offers another data set only
//   wrong-interface   the class factory hands back a plain automation
//                     object whatever interface was asked for
//   null-interface    the control's QueryInterface answers S_OK with a null
//                     pointer for every interface but IUnknown
//   licensed          licensed through IClassFactory2, no licence on this
//                     machine, a run-time key available
//   licensed-machine  licensed through IClassFactory2, this machine
//                     licensed, no run-time key
//   not-licensed      licensed through IClassFactory2, neither a licence
//                     nor a key: CLASS_E_NOTLICENSED

#include <windows.h>

struct TestMapReport {
    LONG objects;      // controls, collections and items alive
    LONG connections;  // sinks the controls hold (Advise minus Unadvise)
    LONG sinkRefs;     // references the controls hold on sinks
    LONG userMode;     // the ambient UserMode the last control read: 1 True, 0 False, -1 not read
    LONG ambientFont;  // 1 when the last control read an ambient font
    LONG fired;        // PositionChanged events raised
    LONG licensed;     // controls made with the run-time licence key
};

using TestMapStateProc = void(WINAPI*)(TestMapReport*);
