#pragma once

#include <QDialog>

#include <filesystem>
#include <functional>

namespace vireon {

// "One moment, please...": shown while MLS permutation tables are generated.
class MlsWaitWindow : public QDialog {
  Q_OBJECT

 public:
  explicit MlsWaitWindow(QWidget* parent = nullptr);
};

// True when the data folder holds sound cached tables of the order, so none are generated.
bool MlsTablesCached(const std::filesystem::path& data_directory, int order);

// Runs `build`; while `generating`, with the waiting window on screen, painted before the work
// begins and closed after it.
bool BuildWithMlsWaitWindow(QWidget* parent, bool generating, const std::function<bool()>& build);

}  // namespace vireon
