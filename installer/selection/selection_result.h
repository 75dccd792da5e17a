// How the selection step ended.
#pragma once

namespace selection {

enum class SelectionResult {
  Next,              // procedures chosen: install them
  Back,              // back to the calibrator choice
  DirectoriesAgain,  // nothing chosen, or the transfer lists could not be built
  Quit,              // Cancel: ask whether to quit
  Failed,            // an end code the page never gives, reported with 9243
};

}  // namespace selection
