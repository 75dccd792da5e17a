// How the console frontend shows windows as text. Internal.
#pragma once
#include <string>
#include <vector>

#include "ui/dialog.h"

namespace ui::detail {

// Button text without its '&' marks ("&&" stays one '&').
std::string StripAmpersand(const std::string& text);
// The accelerator letter of a button text (the letter after '&'), or 0.
char Accelerator(const std::string& text);
// The key that presses button `i` of `texts` (the texts of one window's
// buttons, '&' marks kept): its '&' letter, else the first letter of its
// text when no other button has that key; 0 when it has none.
char ButtonKey(const std::vector<std::string>& texts, size_t i);

// The whole dialog: caption and id, texts, fields with ids and labels, radio
// buttons, group boxes, list items, progress bars and the buttons.
std::string RenderDialog(int id, const std::string& caption, const std::vector<Control>& controls);
// Only what changed between two looks at the same dialog.
std::string RenderChanges(const std::string& captionBefore, const std::vector<Control>& before,
                          const std::string& captionAfter, const std::vector<Control>& after);
// The heading of a window: "== <caption> [dialog <id>] ==".
std::string RenderHeading(int id, const std::string& caption);
// One status line of a window that closes by itself (texts and bars).
std::string RenderStatus(const std::vector<Control>& controls);
// A message box with the answers it offers and their letters.
std::string RenderBox(const std::string& text, const std::string& caption, unsigned style);
// The commands a dialog accepts, in one line (shown with each window).
std::string CommandHelp();
// What `help` prints: each command explained, with an example.
std::string CommandGuide();

}  // namespace ui::detail
