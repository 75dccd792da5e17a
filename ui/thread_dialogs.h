// Which dialogs run on which thread, so that a thread's waits (modal loops,
// boxes, PumpMessages) fire the timers of its own windows. Internal.
#pragma once

namespace ui {
class Dialog;
}

namespace ui::detail {

void RegisterThreadDialog(Dialog* dialog);
void UnregisterThreadDialog(Dialog* dialog);
// Fires the due timers of every dialog of the calling thread; returns ms to
// the next one, or -1 when none is set.
int FireThreadTimers();
// Milliseconds of a monotonic clock.
long long NowMs();

}  // namespace ui::detail
