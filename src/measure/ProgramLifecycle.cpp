#include "measure/ProgramLifecycle.h"

#include "stimulus/ToneSetFile.h"

namespace vireon {

void RunActivation(const ActivationSteps& steps) {
  if (!steps.build_mls_tables()) steps.notice(kMlsTableNotice);
  steps.load_configuration();
  if (steps.outputs_disabled() && steps.ask_yes_no(kOutputsDisabledQuestion)) {
    steps.enable_outputs();
  }
  steps.arm_auto_start();
  steps.enable_status_timer();
}

bool RunCloseQuery(bool query_for_save, const ShutdownSteps& steps) {
  steps.end_debug_log();
  steps.stop_measurement();
  steps.save_latest_tone_sets();
  steps.save_recent_files();
  if (!query_for_save) return true;
  switch (steps.ask_save(kSaveAtShutdownQuestion)) {
    case QueryAnswer::kCancel:
      return false;
    case QueryAnswer::kYes:
      steps.save_hardware_configuration();
      steps.save_backup_record();
      steps.save_software_configuration();
      break;
    case QueryAnswer::kNo:
      if (steps.ask_yes_no(kSaveHardwareQuestion)) steps.save_hardware_configuration();
      break;
    case QueryAnswer::kNoToAll:
      break;
  }
  return true;
}

void SaveLatestToneSets(const std::filesystem::path& data_directory, const ToneLists& tones) {
  SaveToneSet(data_directory / "LATEST_WF_SET1.QTQ", tones.p);
  SaveToneSet(data_directory / "LATEST_WF_SET2.QTQ", tones.q);
}

}  // namespace vireon
