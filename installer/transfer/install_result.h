// How the install step ended.
#pragma once

namespace transfer {

enum class InstallResult {
  DirectoriesAgain,  // install more, or the installation was cancelled
  Exit,              // the operator is done, or the step could not go on
};

}  // namespace transfer
