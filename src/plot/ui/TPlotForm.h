#pragma once

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/Notices.h"
#include "files/FileContext.h"
#include "plot/PlotFormat.h"
#include "plot/PlotWindowRules.h"
#include "record/DataObj.h"

class QAction;
class QDragMoveEvent;
class QLabel;
class QPoint;
class QToolButton;

namespace vireon {

class TDataPlot;
class TPlotForm;

// What a plot window is for: it fixes the window's name, caption and component name.
// A file the window asks the user for.
struct FileQuestion {
  bool save = false;
  std::string title;
  std::string filter;              // "Description|*.x;*.y|Description|*.z|"
  std::string default_extension;   // without the dot
  std::filesystem::path proposed;  // the folder to start in, with a proposed name for a save
};

// What the window asks and tells the user. The desktop program shows dialogs; tests answer
// at once, so that nothing waits for a click.
struct PlotFormDialogs {
  std::function<std::optional<std::filesystem::path>(QWidget* parent, const FileQuestion&)>
      ChooseFile;                                                             // none when cancelled
  std::function<bool(QWidget* parent, const std::string& question)> Confirm;  // true for Yes
  std::function<void(QWidget* parent, const std::string& text)> ShowMessage;
};
PlotFormDialogs InteractiveDialogs();  // file dialogs and message boxes

// What the plot windows share; the file context must outlive them.
struct PlotFormContext {
  const FileContext& files;
  std::filesystem::path data_folder;  // hold files; where the file dialogs start
  PlotFormDialogs dialogs;
  // Creates and shows the next secondary plot window (the main form numbers and places them);
  // "Clone" copies into it. None disables "Clone".
  std::function<TPlotForm*()> new_secondary_plot;
};

// The window around one plot: its menus, its status bar with the auto-scale button (and on the
// primary window the start/stop and domain buttons), the file commands, hold and clone.
// Every window but the primary owns its record; the primary shows the record it is given and
// only hides when closed, the others are freed.
class TPlotForm : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr const char* kPlotTitlePrefix = "=vireon= ";
  static constexpr const char* kSaveError = "Error saving file!";

  TPlotForm(const PlotRole& role, PlotFormContext context, QWidget* parent = nullptr);
  ~TPlotForm() override;

  const PlotRole& Role() const { return role_; }
  TDataPlot* Plot() const { return plot_; }
  TDataMeas* Record() const;  // the shown record; none on a primary window not yet given one
  // Shows a record the caller keeps; none returns to the window's own record.
  void ShowRecord(TDataMeas* record);

  // File commands; each is ignored while a measurement runs.
  bool OpenFile(const std::filesystem::path& file);  // false, the record unchanged, on failure
  void Open();
  void Save();
  void SaveAs(const std::string& proposed_name);
  // Plot commands.
  void ToggleFormatPanel();
  void HoldRecord();
  void ClearMulti();
  TPlotForm* Clone();  // the new secondary plot; none when no window can be made

  // Format files (".pf_"); a name without a folder goes to the data folder. Ignored while a
  // measurement runs; live windows and the microphone view load no formats.
  void SaveFormat();
  void LoadFormat();     // applies the file to the shown record
  void LoadPreFormat();  // primary window only: kept for the main form's next result
  const std::optional<PlotFormat>& PreFormat() const { return pre_format_; }
  // Why a format load did nothing; these are not shown.
  const Notices& FormatNotices() const { return format_notices_; }
  // Format copy: another plot's format applied to the shown record (as far as the data types
  // allow); false when nothing was applied.
  bool CopyFormatFrom(const TDataPlot& source);
  // Plots dropped here, on the status bar, give only their format.
  bool IsFormatDropArea(const QPoint& window_position) const;

  // Panel 1 of the primary window; the other windows show their record's description there.
  void SetStatusText(const std::string& text);
  std::string StatusText() const;
  // The main form's state: the start/stop button's face, and whether the domain can change.
  void SetMeasuring(bool measuring);
  void SetDomainChangeable(bool changeable);
  // The primary window's panel 1 shows "REDUCE INPUT!" until the next status text.
  void ShowInputOverload();

 signals:
  void StartRequested();         // "Start [F12]"
  void StopRequested();          // "Stop [Esc]"
  void DomainToggleRequested();  // the domain button

 protected:
  // Data files dragged from the desktop are opened as by "Open".
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Loader and plot messages go to the window's message dialog.
  class DialogMessages : public MessageSink {
   public:
    explicit DialogMessages(TPlotForm& window) : window_(window) {}
    void ShowMessage(const std::string& text) override;

   private:
    TPlotForm& window_;
  };

  void BuildMenus();
  void BuildStatusBar();
  void RecordReplaced();  // caption, status text, buttons and limits follow the record
  void RefreshCommands();
  void ApplyGeometryLimits();
  bool OpensFiles() const;  // live windows and the microphone view do not
  void OnStartStopClicked();
  bool WriteRecord(const std::filesystem::path& file);
  std::optional<std::filesystem::path> ChooseFormatFile(bool save, const std::string& title);
  void FormatApplied();
  const TDataPlot* FormatDropSource(const QDropEvent& event) const;

  const PlotRole role_;
  PlotFormContext context_;
  DialogMessages messages_{*this};
  std::optional<TDataMeas> own_record_;
  std::filesystem::path last_folder_;
  bool measuring_ = false;
  std::string status_text_;
  std::optional<PlotFormat> pre_format_;
  Notices format_notices_;

  // Child widgets, owned by Qt through their parents.
  TDataPlot* plot_ = nullptr;
  QLabel* status_label_ = nullptr;
  QToolButton* start_stop_button_ = nullptr;
  QToolButton* lightning_button_ = nullptr;
  QToolButton* domain_button_ = nullptr;
  QAction* open_action_ = nullptr;
  QAction* save_action_ = nullptr;
  QAction* save_as_action_ = nullptr;
  QAction* format_action_ = nullptr;
  QAction* hold_action_ = nullptr;
  QAction* clear_multi_action_ = nullptr;
  QAction* clone_action_ = nullptr;
  QAction* save_format_action_ = nullptr;
  QAction* load_format_action_ = nullptr;
  QAction* load_pre_format_action_ = nullptr;
};

}  // namespace vireon
