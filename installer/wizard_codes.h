// Wizard step codes and the page end codes shared by every page of the installer.
#pragma once
#include "resources/kelmar_ids.h"

namespace wizard {

constexpr int STEP_DIRECTORIES = 1;
constexpr int STEP_CONFIRM_QUIT = 2;
constexpr int STEP_SELECT_PROCEDURES = 3;
constexpr int STEP_CALIBRATOR = 4;
constexpr int STEP_WELCOME = 5;
constexpr int STEP_EXIT = 7;
constexpr int STEP_DIRECTORIES_AGAIN = 8;
constexpr int STEP_INSTALL = 9;

// Page end codes: IDOK (1), IDCANCEL (2) and the "< &Back" button.
constexpr int ID_BACK = IDC_BACK;
// Selection page: nothing selected, or the transfer lists could not be built.
constexpr int END_DIRECTORIES_AGAIN = 8;

// Exit status of a fatal stop after a message.
constexpr int EXIT_FATAL = 3;

}  // namespace wizard
