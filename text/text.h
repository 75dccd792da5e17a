// The message text service: numbered messages from the database ovtext.mdb.
// A shared library (text.dll) with plain C functions.
#pragma once

namespace ui {
struct InstanceHandle;
}

extern "C" {

// Opens the service with the program's instance (its host services), the
// header name (kept for the record; no such file is read) and the database
// file, relative to the current directory. Non-zero when ready, 0 when the
// database is missing or unreadable.
int text_open(ui::InstanceHandle* instance, const char* header, const char* database);
// Copies message `number` (zero-terminated, cut to size-1) into buffer.
// Returns the length stored; an unknown number gives a text naming it.
int text(int number, char* buffer, int size);
// Shows message `number`, filled with the values that follow, in a box
// captioned "ORVIK Error <number>" with OK and Cancel; returns non-zero for
// OK (go on) and 0 for Cancel (give up).
int errp(int number, ...);
// Shows message `number` in a box captioned "ORVIK Notice <number>" with OK.
int msgp(int number, ...);
// Releases the service.
void text_close(void);
}
