// Every static text of every window shows whole on a terminal of 80 x 24,
// on cells of its own: the full-screen frontend's cells are coarser than
// dialog units.
#include <gtest/gtest.h>

#include <string>

#include "resources/kelmar_resources.h"
#include "resources/setup_resources.h"
#include "ui/console_view.h"
#include "ui/screen_layout.h"

namespace {

void ExpectTextsFit(const ui::ResourceModule& module, int rows = 24, int cols = 80) {
  for (const auto& [id, dialog] : module.dialogs) {
    ui::detail::DialogCellsLayout layout = ui::detail::LayOut(dialog, rows, cols);
    for (size_t i = 0; i < dialog.controls.size(); ++i) {
      const ui::ControlTemplate& c = dialog.controls[i];
      if (c.kind != ui::ControlKind::Static || c.text.empty()) continue;
      const ui::detail::CellRect& r = layout.controls[i];
      size_t lines = ui::detail::WrapText(ui::detail::StripAmpersand(c.text), r.cols).size();
      EXPECT_LE(lines, static_cast<size_t>(r.rows)) << "window " << id << ": \"" << c.text << "\" in " << r.rows
                                                    << " x " << r.cols;
      for (size_t j = 0; j < dialog.controls.size(); ++j) {
        const ui::detail::CellRect& o = layout.controls[j];
        ui::ControlKind kind = dialog.controls[j].kind;
        if (j == i || kind == ui::ControlKind::GroupBox || kind == ui::ControlKind::Frame) continue;
        EXPECT_FALSE(r.row < o.row + o.rows && o.row < r.row + r.rows && r.col < o.col + o.cols && o.col < r.col + r.cols)
            << "window " << id << ": \"" << c.text << "\" under control " << j << " at " << rows << " x " << cols;
      }
    }
  }
}

TEST(ScreenFit, StaticTextsShowWholeAt80x24) {
  ExpectTextsFit(resources::Kelmar());
  ExpectTextsFit(resources::Setup());
}

TEST(ScreenFit, Taller) {
  ExpectTextsFit(resources::Kelmar(), 30, 80);
  ExpectTextsFit(resources::Kelmar(), 40, 100);
}

}  // namespace
