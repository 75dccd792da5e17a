#include "ui/msgbox.h"

#include "ui/actions.h"
#include "ui/frontend.h"
#include "ui/transcript_events.h"
#include "ui/window_stack.h"

namespace ui {

int MessageBox(const std::string& text, const std::string& caption, unsigned style) {
  detail::OpenWindow* window = detail::PushWindow(0, caption, nullptr);
  detail::WriteBoxLine(caption, text);
  int answer = CurrentFrontend().ShowMessageBox(text, caption, style);
  detail::WriteAnswerLine(detail::AnswerWord(answer));
  detail::PopWindow(window);
  return answer;
}

}  // namespace ui
