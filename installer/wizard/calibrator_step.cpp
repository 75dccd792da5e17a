#include <iterator>

#include "installer/installer_codes.h"
#include "installer/wizard/calibrator_page.h"
#include "installer/wizard/main_dialog.h"
#include "installer/wizard/wizard_codes.h"
#include "resources/kelmar_ids.h"
#include "text/text.h"

namespace wizard {

namespace {

struct Choice {
  int controlId;
  const char* code;
};

constexpr Choice kChoices[] = {
    {IDC_CAL_ALL, "All"},         {IDC_CAL_R220B, "R220"},      {IDC_CAL_R210, "R210"},
    {IDC_CAL_R320, "R320"},       {IDC_CAL_R420A, "R420"},      {IDC_CAL_R520, "R520"},
    {IDC_CAL_R310A, "R310"},      {IDC_CAL_R410A, "R410"},      {IDC_CAL_R510, "R510"},
    {IDC_CAL_OTHER, "Other"},     {IDC_CAL_R310A_X3, "R310X3"}, {IDC_CAL_R310A_X6, "R310X6"},
    {IDC_CAL_R320A_X3, "R320X3"}, {IDC_CAL_R320A_X6, "R320X6"},
};

}  // namespace

std::string CalibratorCodeFor(int controlId) {
  for (const Choice& choice : kChoices)
    if (choice.controlId == controlId) return choice.code;
  return "";
}

CalibratorPage::CalibratorPage(ui::Dialog* parent) : ui::Dialog(IDD_CALIBRATOR, parent) {}

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

}  // namespace wizard
