#include <iterator>

#include "installer/installer_codes.h"
#include "installer/wizard/calibrator_page.h"
#include "installer/wizard/main_dialog.h"
#include "installer/wizard/wizard_codes.h"
#include "text/text.h"

namespace {

struct Choice {
  int controlId;
  const char* code;
};

constexpr Choice kChoices[] = {
    {1026, "All"},    {1017, "R220"},   {1016, "R210"},   {1021, "R320"},   {1023, "R420"},
    {1025, "R520"},   {1020, "R310"},   {1022, "R410"},   {1024, "R510"},   {1027, "Other"},
    {1029, "R310X3"}, {1028, "R310X6"}, {1019, "R320X3"}, {1018, "R320X6"},
};

}  // namespace

std::string CalibratorCodeFor(int controlId) {
  for (const Choice& choice : kChoices)
    if (choice.controlId == controlId) return choice.code;
  return "";
}

CalibratorPage::CalibratorPage(ui::Dialog* parent) : ui::Dialog(101, parent) {}

void CalibratorPage::OnCommand(int controlId) {
  std::string chosen = CalibratorCodeFor(controlId);
  if (!chosen.empty()) {
    code = chosen;
    return;
  }
  if (controlId == installer::ID_BACK) {
    EndDialog(installer::ID_BACK);
    return;
  }
  ui::Dialog::OnCommand(controlId);
}

// The wizard offers every procedure: the page is preset to "All" and not shown.
// With nothing to offer, the same preset would find nothing again on every
// repetition, so after the notice the wizard ends as for STEP_EXIT.
int MainDialog::CalibratorStep() {
  CalibratorPage page(this);
  page.code = "All";
  state_.SetCalibratorCode(page.code);
  if (state_.Procedures().GetProcsByCalibrator(state_.CalibratorCode()) != 0)
    return wizard::STEP_SELECT_PROCEDURES;
  msgp(9240);
  return wizard::STEP_EXIT;
}
