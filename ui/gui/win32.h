// The Win32 headers for the native dialogs. Include this after every other
// ui/ header: the framework's constants (IDOK, ES_READONLY, MB_OK ...) have
// the names of the system's macros, with the same values.
#pragma once
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>

// The framework's own functions of these names stay reachable.
#undef MessageBox
#undef LoadString
#undef SetDlgItemText
#undef GetDlgItemText
#undef SetWindowText
#undef GetWindowText
#undef CheckRadioButton
#undef IsDlgButtonChecked
