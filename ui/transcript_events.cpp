#include "ui/transcript_events.h"

#include <cstdio>

#include "platform/process.h"
#include "platform/transcript.h"
#include "ui/dialog.h"

namespace ui::detail {

using platform::TranscriptQuote;

void WriteWindowLines(const Dialog& dialog) {
  if (!platform::TranscriptEnabled()) return;
  WriteWindowLines(dialog.TemplateId(), dialog.Caption(), dialog.ControlsSnapshot());
}

void WriteWindowLines(int id, const std::string& caption, const std::vector<Control>& controls) {
  if (!platform::TranscriptEnabled()) return;
  platform::TranscriptLine("window " + std::to_string(id) + " " + TranscriptQuote(caption));
  for (const Control& c : controls) {
    if (c.tmpl.kind == ControlKind::Edit) {
      platform::TranscriptLine("field " + std::to_string(c.tmpl.id) + " " + TranscriptQuote(c.text));
    } else if (c.tmpl.kind == ControlKind::ListBox) {
      std::string prefix = "item " + std::to_string(c.tmpl.id) + " ";
      for (size_t i = 0; i < c.items.size(); ++i) {
        platform::TranscriptLine(prefix + std::to_string(i + 1) + " " + TranscriptQuote(c.items[i]) +
                                 (c.selected[i] ? " 1" : " 0"));
      }
    }
  }
}

void WriteAnswerLine(const std::string& action) {
  if (platform::TranscriptEnabled()) platform::TranscriptLine("answer " + action);
}

void WriteBoxLine(const std::string& caption, const std::string& text) {
  if (platform::TranscriptEnabled()) {
    platform::TranscriptLine("box " + TranscriptQuote(caption) + " " + TranscriptQuote(text));
  }
}

void WriteEndLine(int id, int code) {
  if (platform::TranscriptEnabled()) {
    platform::TranscriptLine("end " + std::to_string(id) + " " + std::to_string(code));
  }
}

std::string WindowName(int id, const std::string& caption) {
  if (id == 0) return "box " + TranscriptQuote(caption);
  return "window " + std::to_string(id) + " " + TranscriptQuote(caption);
}

void FailNoAnswer(const std::string& diagnostic) {
  if (platform::TranscriptEnabled()) platform::TranscriptLine("error " + TranscriptQuote(diagnostic));
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", diagnostic.c_str());
  platform::ExitProcess(kNoAnswerExitCode);
}

}  // namespace ui::detail
