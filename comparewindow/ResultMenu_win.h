// The result list's context menu (ResultMenu.h) as a system menu, every
// item greyed on an empty list.
#pragma once

#include <windows.h>

#include "comparewindow/ResultMenu.h"
#include "platform/Handles_win.h"

namespace comparewindow {

platform::UniqueMenu BuildResultMenu(const ResultMenuState& state, const engine::TextLookup& texts);

}  // namespace comparewindow
