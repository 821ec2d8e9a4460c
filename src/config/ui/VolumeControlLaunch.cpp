#include "config/ui/VolumeControlLaunch.h"

#include <QProcess>
#include <QStringList>

#include "config/Defaults.h"

namespace vireon {

void OpenVolumeControl(QWidget* parent, MixerSide side,
                       const std::function<void(QWidget*, const std::string&)>& show_message) {
  const auto command = VolumeControlCommand(
      side, ProgramsOnPath(Environment::Process().Get("PATH").value_or("/usr/bin:/bin")));
  if (!command) {
    show_message(parent, std::string(kNoVolumeControl));
    return;
  }
  QStringList arguments;
  for (auto word = command->begin() + 1; word != command->end(); ++word) {
    arguments << QString::fromStdString(*word);
  }
  if (!QProcess::startDetached(QString::fromStdString(command->front()), arguments)) {
    show_message(parent, "Could not start " + command->front());
  }
}

}  // namespace vireon
