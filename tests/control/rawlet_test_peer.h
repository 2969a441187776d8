#pragma once

#include <rawlet/rawlet.h>

#include "control_state.h"

namespace rawlet {

// The tests' view of the state the control's members read and change.
struct RawletTestPeer {
    static const ControlState& State(const Rawlet& control) { return *control.state_; }
};

inline const ControlState& StateOf(const Rawlet& control) { return RawletTestPeer::State(control); }

} // namespace rawlet
