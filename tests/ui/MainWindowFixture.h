#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "../support/TempFolder.h"
#include "UiTestSupport.h"
#include "audio/devices/simulated/BenchFile.h"
#include "audio/devices/simulated/SimulatedCard.h"
#include "files/FileContext.h"
#include "measure/ui/TestForm.h"
#include "plot/ui/PlotWindowList.h"
#include "plot/ui/TPlotForm.h"

namespace vireon {

// Runs the event loop (timers included) until `done` or the time is up; true when done.
inline bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // closed windows
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// The main window on the simulated card in real time, with the primary plot window beside it
// and the secondary plot list; message boxes, the automatic-start dialog and the end of the
// program are recorded, and the dialog answers with `auto_start_answer_`.
class MainWindowFixture : public ::testing::Test {
 protected:
  MainWindowFixture()
      : card_(BuiltInBench(), SimulatedCard::Clock::kRealTime),
        windows_(PlotFormContext{files_, folder_.Path(), InteractiveDialogs(), {}}),
        form_(Context()),
        primary_({PlotRoleKind::Primary, 0}, windows_.Context()) {
    form_.SetPrimaryPlot(&primary_, DefaultPlotRecord(files_.Defaults));
    form_.SetPlotWindows(windows_);
    primary_.show();
    form_.show();
  }

  // Windows closed since the last turn of the event loop are freed with the rest.
  ~MainWindowFixture() override {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // What the fixture's main window is made with; a second one on the same data folder is a
  // restart of the program.
  TestFormContext Context() {
    return {
        .driver = card_,
        .devices = {std::string(SimulatedCard::kDeviceName),
                    std::string(SimulatedCard::kDeviceName)},
        .data_directory = folder_.Path(),
        .driver_error_text = {},
        .show_message = [this](QWidget*, const std::string& text) { messages_.push_back(text); },
        .ask_yes_no =
            [this](QWidget*, const std::string& question) {
              questions_.push_back(question);
              return yes_no_answer_;
            },
        .end_debug_log = [] {},
        .quit = [this] { ++quits_; },
        .ask_auto_start =
            [this](QWidget*, const AutoStartChoice& shown) {
              auto_start_shown_.push_back(shown);
              return auto_start_answer_;
            },
        .ask_line_frequency = [this](QWidget*, double) { return line_frequency_answer_; },
        .plot_session = windows_.Context().session,
        .config_dialogs =
            {.choose_file = [this](QWidget*, const FileQuestion&) { return config_file_answer_; },
             .choose_folder =
                 [this](QWidget*, const std::string& caption, const std::filesystem::path&) {
                   questions_.push_back(caption);
                   return folder_answer_;
                 },
             .ask_save =
                 [this](QWidget*, const std::string& question) {
                   questions_.push_back(question);
                   return save_answer_;
                 }}};
  }

  // A menu item of the main window's menus (submenus included) by its object name.
  QAction* MenuItem(const char* name) { return MenuItemOf(form_, name); }
  static QAction* MenuItemOf(QMainWindow& window, const char* name) {
    QAction* item = FindItem(window.menuBar()->actions(), name);
    if (item == nullptr) ADD_FAILURE() << "no menu item " << name;
    return item;
  }
  static QAction* FindItem(const QList<QAction*>& items, const char* name) {
    for (QAction* item : items) {
      if (item->objectName() == name) return item;
      if (item->menu() == nullptr) continue;
      if (QAction* found = FindItem(item->menu()->actions(), name)) return found;
    }
    return nullptr;
  }

  QShortcut* ShortcutFor(Qt::Key key) {
    for (QShortcut* shortcut : form_.findChildren<QShortcut*>()) {
      if (shortcut->key() == QKeySequence(key)) return shortcut;
    }
    ADD_FAILURE() << "no shortcut for key " << key;
    return nullptr;
  }

  TestApplication app_;
  TempFolder folder_;
  FileContext files_;
  SimulatedCard card_;
  std::vector<std::string> messages_;
  int quits_ = 0;
  std::optional<AutoStartChoice> auto_start_answer_;
  std::vector<AutoStartChoice> auto_start_shown_;
  std::optional<double> line_frequency_answer_;
  // The questions asked (yes/no, folder choosers, the shutdown question) and their answers.
  std::vector<std::string> questions_;
  bool yes_no_answer_ = false;
  QueryAnswer save_answer_ = QueryAnswer::kNoToAll;
  std::optional<std::filesystem::path> config_file_answer_;
  std::optional<std::filesystem::path> folder_answer_;
  PlotWindowList windows_;
  TTestForm form_;
  TPlotForm primary_;
};

}  // namespace vireon
