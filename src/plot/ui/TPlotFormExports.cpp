// The plot window's exports, printing, notes and table window.
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>

#include "files/TextExports.h"
#include "files/WavFileWrite.h"
#include "files/ui/TGridForm.h"
#include "plot/render/QtText.h"
#include "plot/ui/NotesWindow.h"
#include "plot/ui/TDataPlot.h"
#include "plot/ui/TPlotForm.h"

namespace vireon {
namespace {

constexpr const char* kAsciiExportFilter =
    "ASCII Export Files(*.*)|*.*|Text files (*.txt)|*.TXT|Comma Separated (*.csv)|*.CSV";
constexpr int kCsvFilterIndex = 2;
constexpr const char* kMlssaFilter = "MLSSA ASCII Time Export files (*.TXT)|*.TXT";
constexpr const char* kPolarFilter = "Comma Separated (*.csv)|*.csv|";
constexpr const char* kWavFilter = "WAV files (*.wav)|*.wav|";

// The range the ASCII export offers: the view range, or the slices' times.
AsciiExportQuestion AsciiExportRange(const TDataMeas& record) {
  if (IsSliceKind(record) && !record.FSliceValues.empty()) {
    const auto [low, high] =
        std::minmax_element(record.FSliceValues.begin(), record.FSliceValues.end());
    return {*low, *high, record.FSliceUnits};
  }
  return {record.FViewStart, record.FViewStop, record.FXUnits};
}

// A name typed without an extension gets the default one.
std::filesystem::path WithDefaultExtension(std::filesystem::path file,
                                           const std::string& extension) {
  if (!file.has_extension()) file += "." + extension;
  return file;
}

}  // namespace

std::optional<std::filesystem::path> TPlotForm::ChooseExportFile(const FileQuestion& question) {
  const auto chosen = context_.dialogs.ChooseFile(this, question);
  if (!chosen) return std::nullopt;
  return WithDefaultExtension(*chosen, question.default_extension);
}

void TPlotForm::ExportAscii() {
  const TDataMeas* record = Record();
  if (measuring_ || record == nullptr) return;
  const auto choice = context_.dialogs.AskAsciiExport(this, AsciiExportRange(*record));
  if (!choice) return;
  const FileQuestion question{true,
                              "",
                              kAsciiExportFilter,
                              choice->comma ? "csv" : "txt",
                              SaveFolder() / ProposedSaveName(*record),
                              choice->comma ? kCsvFilterIndex : 0};
  const auto file = ChooseExportFile(question);
  if (!file) return;
  const TDataMeas exported = RecordInRange(*record, choice->start, choice->stop);
  AsciiExportOptions options;
  options.HeaderLines = choice->header_lines;
  options.Comma = choice->comma;
  options.DistortionAsPercent = plot_->Options().DistortionAsPercent;
  const bool saved = IsSliceKind(exported) ? ExportSlices(*file, exported)
                                           : ExportAsciiGeneral(*file, exported, options);
  if (!saved) messages_.ShowMessage(kSaveError);
}

void TPlotForm::ExportMlssa() {
  const TDataMeas* record = Record();
  if (measuring_ || record == nullptr || !IsSampledType(record->FDataType)) return;
  const auto file =
      ChooseExportFile({true, "", kMlssaFilter, "TXT", SaveFolder() / ProposedSaveName(*record)});
  if (file && !ExportMlssaTime(*file, *record)) messages_.ShowMessage(kSaveError);
}

void TPlotForm::ExportPolar() {
  const TDataMeas* record = Record();
  if (measuring_ || record == nullptr || record->FPlotKind != kPolarPlotKind) return;
  const auto file =
      ChooseExportFile({true, "", kPolarFilter, "csv", SaveFolder() / ProposedSaveName(*record)});
  if (file && !ExportPolarCsv(*file, *record)) messages_.ShowMessage(kSaveError);
}

void TPlotForm::SaveToWav() {
  const TDataMeas* record = Record();
  if (measuring_ || record == nullptr || record->FDataType != kTimeDomain) return;
  PlotSession& session = *context_.session;
  WavSaveQuestion question;
  question.sample_rate = record->FSampleRate;
  question.recorded_bits = record->FSampleBits;
  question.two_columns = record->FNumFields > 1;
  question.level_db = session.wav_level_db;
  const auto choice = context_.dialogs.AskWavOptions(this, question);
  if (!choice) return;
  session.wav_level_db = choice->level_db;
  const auto file =
      ChooseExportFile({true, "", kWavFilter, "wav", SaveFolder() / ProposedSaveName(*record)});
  if (!file) return;
  // The loudest sample lies at the level below full scale; never above it.
  const double level = std::pow(10.0, std::min(choice->level_db, 0.0) / 20.0);
  CollectedMessages ignored;  // the one message for every failure follows
  if (!SaveWavData(*file, *record, choice->bits, level, WavChannelChoice::kColumn0, choice->stereo,
                   ignored)) {
    messages_.ShowMessage(kSaveError);
  }
}

void TPlotForm::Print() {
  if (Record() == nullptr) return;
  PrintPlot(this, *plot_, context_.session->print_settings, context_.dialogs.print);
}

void TPlotForm::ShowPrintOptions() {
  if (Record() == nullptr) return;
  EditPrintOptions(this, *plot_, context_.session->print_settings, context_.dialogs.print);
}

void TPlotForm::PrintScreen() {
  PrintEntireScreen(this, context_.session->print_settings, context_.dialogs.print);
}

void TPlotForm::ShowNotes() {
  if (Record() == nullptr) return;
  if (notes_ == nullptr) {
    notes_ = new NotesWindow(this);
    connect(notes_, &NotesWindow::Accepted, this, [this] {
      if (TDataMeas* record = Record()) record->FNotes = notes_->Notes();
    });
  }
  notes_->setWindowTitle("Notes: " + windowTitle());
  notes_->SetNotes(Record()->FNotes);
  notes_->show();
  notes_->raise();
  notes_->activateWindow();
}

void TPlotForm::ShowTable() {
  const TDataMeas* record = Record();
  if (record == nullptr) return;
  if (table_ == nullptr) {
    table_ = new TGridForm(*record, plot_->Options(), this);
    table_->setWindowFlag(Qt::Window);
    table_record_ = record;
  }
  table_->setWindowTitle(windowTitle());
  table_->SetStatusText(status_text_);
  table_->show();
  table_->raise();
  table_->activateWindow();
}

NotesWindow* TPlotForm::Notes() const { return notes_; }

TGridForm* TPlotForm::Table() const { return table_; }

void TPlotForm::RecordWindowsFollow() {
  if (table_ != nullptr) {
    if (table_record_ == Record()) {
      table_->Refresh();
      table_->setWindowTitle(windowTitle());
      table_->SetStatusText(status_text_);
    } else {
      delete table_.data();
      ShowTable();
    }
  }
  // Notes accepted later go to the record shown then: the editor shows its notes.
  if (notes_ != nullptr && Record() != nullptr) {
    notes_->setWindowTitle("Notes: " + windowTitle());
    notes_->SetNotes(Record()->FNotes);
  }
}

void TPlotForm::CloseRecordWindows() {
  delete table_.data();
  delete notes_.data();
}

}  // namespace vireon
