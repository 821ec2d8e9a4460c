#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPrinter>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "../support/TempFolder.h"
#include "UiTestSupport.h"
#include "plot/ui/TPlotForm.h"

namespace vireon {

// The dialogs answer from the test: the next file name, the answer to every question, the
// exports' choices, and every message kept.
struct ScriptedDialogs {
  std::optional<std::filesystem::path> next_file;
  std::vector<FileQuestion> questions;
  std::vector<std::string> confirmations;
  bool answer_yes = true;
  std::vector<std::string> messages;
  std::optional<AsciiExportChoice> ascii_choice;
  std::vector<AsciiExportQuestion> ascii_questions;
  std::optional<WavSaveChoice> wav_choice;
  std::vector<WavSaveQuestion> wav_questions;
  std::function<bool(QPrinter&)> set_up_printer;  // none cancels the print dialog
  std::optional<std::size_t> chosen_row;
  std::vector<std::pair<std::string, std::vector<std::string>>> row_questions;  // title, rows
};

// Plot windows on the offscreen platform, each built from a context whose dialogs answer
// from `script_`; secondary plots made by "Clone" are kept in `secondaries_`.
class PlotFormFixture : public ::testing::Test {
 protected:
  PlotFormFixture() {}

  PlotFormContext Context() {
    PlotFormDialogs dialogs;
    dialogs.ChooseFile = [this](QWidget*, const FileQuestion& question) {
      script_.questions.push_back(question);
      return std::exchange(script_.next_file, std::nullopt);
    };
    dialogs.Confirm = [this](QWidget*, const std::string& question) {
      script_.confirmations.push_back(question);
      return script_.answer_yes;
    };
    dialogs.ShowMessage = [this](QWidget*, const std::string& text) {
      script_.messages.push_back(text);
    };
    dialogs.AskAsciiExport = [this](QWidget*, const AsciiExportQuestion& question) {
      script_.ascii_questions.push_back(question);
      return script_.ascii_choice;
    };
    dialogs.AskWavOptions = [this](QWidget*, const WavSaveQuestion& question) {
      script_.wav_questions.push_back(question);
      return script_.wav_choice;
    };
    dialogs.ChooseRow = [this](QWidget*, const std::string& title,
                               const std::vector<std::string>& rows) {
      script_.row_questions.emplace_back(title, rows);
      return script_.chosen_row;
    };
    dialogs.print.SetUpPrinter = [this](QWidget*, QPrinter& printer) {
      return script_.set_up_printer && script_.set_up_printer(printer);
    };
    dialogs.print.ChoosePictureFile = [](QWidget*) {
      return std::optional<std::filesystem::path>();
    };
    dialogs.print.EditOptions = [](QWidget*, PrintSettings&) { return false; };
    dialogs.print.ShowMessage = dialogs.ShowMessage;
    PlotFormContext context{files_, folder_.Path(), dialogs, [this] { return NewSecondary(); }};
    context.session = session_;
    return context;
  }

  std::unique_ptr<TPlotForm> MakeWindow(PlotRole role) {
    return std::make_unique<TPlotForm>(role, Context());
  }

  TPlotForm* NewSecondary() {
    secondaries_.push_back(std::make_unique<TPlotForm>(
        PlotRole{PlotRoleKind::Secondary, static_cast<int>(secondaries_.size()) + 3}, Context()));
    return secondaries_.back().get();
  }

  TestApplication app_;
  TempFolder folder_;
  FileContext files_;
  ScriptedDialogs script_;
  // One session for every window of a test, as the program has.
  std::shared_ptr<PlotSession> session_ = std::make_shared<PlotSession>();
  std::vector<std::unique_ptr<TPlotForm>> secondaries_;
};

}  // namespace vireon
