// The wizard's step codes: each step returns the code of the next.
#pragma once

namespace wizard {

constexpr int STEP_DIRECTORIES = 1;
constexpr int STEP_CONFIRM_QUIT = 2;
constexpr int STEP_SELECT_PROCEDURES = 3;
constexpr int STEP_CALIBRATOR = 4;
constexpr int STEP_WELCOME = 5;
constexpr int STEP_EXIT = 7;
constexpr int STEP_DIRECTORIES_AGAIN = 8;
constexpr int STEP_INSTALL = 9;

}  // namespace wizard
