// The calling thread's message pump: dispatches the messages that wait,
// keyboard navigation of its innermost dialog included.
#pragma once

namespace ui::gui {

void DispatchWaitingMessages();

}  // namespace ui::gui
