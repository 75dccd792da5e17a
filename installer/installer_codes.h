// Codes that every part of the installer shares.
#pragma once
#include "resources/kelmar_ids.h"

namespace installer {

// End code of a page left through its "< &Back" button.
constexpr int ID_BACK = IDC_BACK;

// Exit status of a fatal stop after a message.
constexpr int EXIT_FATAL = 3;

}  // namespace installer
