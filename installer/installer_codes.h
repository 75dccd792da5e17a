// Codes and the caption that every part of the installer shares.
#pragma once

namespace installer {

// End code of a page left through its "< &Back" button.
constexpr int ID_BACK = 1001;

// Exit status of a fatal stop after a message.
constexpr int EXIT_FATAL = 3;

// Caption of the installer's own plain-text boxes.
inline constexpr const char* kInstallCaption = "ORVIK - Procedure Installation";

}  // namespace installer

// The message boxes of every subsystem name the caption as wizard::kInstallCaption.
namespace wizard {
using installer::kInstallCaption;
}  // namespace wizard
