#pragma once

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/Notices.h"
#include "config/ProgramPreferences.h"
#include "files/FileContext.h"
#include "plot/MruList.h"
#include "plot/PlotFormat.h"
#include "plot/PlotWindowRules.h"
#include "plot/ui/PlotFormDialogs.h"
#include "plot/ui/PlotPrinting.h"
#include "record/DataObj.h"

class QAction;
class QDragMoveEvent;
class QLabel;
class QMenu;
class QPoint;
class QTabBar;
class QToolButton;

namespace vireon {

class NotesWindow;
class TDataPlot;
class TGridForm;
class TPlotForm;

// The colours "Use Colors of Primary on Open" gives every opened file: the primary plot's as
// they were when the option was switched on.
struct OpenColorScheme {
  std::array<PlotColor, 8> colors{};
  OverlayStyles overlay_styles{};
};

// What all plot windows of the program share.
struct PlotSession {
  TMruList recent_files;
  bool recent_files_read = false;  // the first window reads the list of the data folder
  PrintSettings print_settings;
  double wav_level_db = 0.0;  // the current WAV export level; not kept in configuration files
  std::optional<OpenColorScheme> colors_on_open;  // none while the option is off
  DataFolders folders;                       // "Default Data Directory", kept in the configuration
  QPointer<TPlotForm> primary;               // where the colours are taken from
  std::vector<QPointer<TPlotForm>> windows;  // every plot window, for "Add Plot to Set"
};

// What the plot windows share; the file context must outlive them.
struct PlotFormContext {
  const FileContext& files;
  std::filesystem::path data_folder;  // hold files, the recently-used list; dialogs start here
  PlotFormDialogs dialogs;
  // Creates and shows the next secondary plot window (the main form numbers and places them);
  // "Clone" copies into it. None disables "Clone".
  std::function<TPlotForm*()> new_secondary_plot;
  // Copies of one context share one session.
  std::shared_ptr<PlotSession> session = std::make_shared<PlotSession>();
};

// The window around one plot: its menus, its status bar with the auto-scale button (and on the
// primary window the start/stop and domain buttons), the file commands, hold and clone.
// Every window but the primary owns its record; the primary shows the record it is given and
// only hides when closed, the others are freed.
class TPlotForm : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr const char* kPlotTitlePrefix = vireon::kPlotTitlePrefix;
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
  // "Allow all LF": frequency records draw below their lowest usable frequency.
  void AllowAllLowFrequencies();
  // "Use Colors of Primary on Open" ("Keep Color Scheme on Open" on the primary): switching it
  // on takes the primary plot's colours for every file opened in any window afterwards.
  void SetUsePrimaryColorsOnOpen(bool on);
  const PlotSession& Session() const { return *context_.session; }

  // Exports, ignored while a measurement runs; every failure shows kSaveError.
  void ExportAscii();  // "ASCII general format"
  void ExportMlssa();  // "MLSSA ASCII time", sampled records only
  void ExportPolar();  // "Export Polar csv", polar records only
  void SaveToWav();    // "Save to WAV file", TimeDomain records only
  // Printing with the session's print settings.
  void Print();             // "&Print"
  void ShowPrintOptions();  // "Print &Options..."
  void PrintScreen();       // "Print entire screen"

  // The record's windows, one of each per plot window; a second call raises it. Both go
  // with the window.
  void ShowNotes();            // "Notes": OK there replaces the record's notes
  void ShowTable();            // "&Table": follows the record
  NotesWindow* Notes() const;  // none while closed
  TGridForm* Table() const;

  // PlotSets: windows shown one at a time in one place, chosen by a tab strip of their role
  // names. Live windows and the microphone view never join one.
  bool CanJoinPlotSet() const;
  void StartPlotSet();                   // "Start a PlotSet": a set of this window alone
  void AddPlotToSet();                   // "Add a Plot to PlotSet": asks which window joins
  bool AddToPlotSet(TPlotForm& window);  // the window leaves its own set and is shown here
  void SelectPlotSetMember(int index);   // a tab: that member shown in this one's place
  void IsolateFromPlotSet();             // asks first; the set goes on without this window
  std::vector<TPlotForm*> PlotSetMembers() const;  // none outside a set

  // Format files (".pf_"); a name without a folder goes to the data folder. Ignored while a
  // measurement runs; live windows and the microphone view load no formats.
  void SaveFormat();
  void LoadFormat();     // applies the file to the shown record
  void LoadPreFormat();  // primary window only: handed to the main form for its next result
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
  void ToggleRequested();        // Ctrl+B: the main form's "Toggle"
  void KeyReleased(int key);     // every other key, for the main form's key handler
  void ShowFormsRequested();     // "ShowForms", offered while the window is maximised
  void PreFormatLoaded(const vireon::PlotFormat& format);  // "Load Pre-Format.."

 protected:
  // Data files dragged from the desktop are opened as by "Open". Another window's plot dropped
  // outside this one's plot, status bar and tab strip gives this window its size.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  // Activation refreshes the commands; maximising offers "ShowForms".
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // A left-button drag on the status bar, right of its first panel, drags the plot.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Loader and plot messages go to the window's message dialog.
  class DialogMessages : public MessageSink {
   public:
    explicit DialogMessages(TPlotForm& window) : window_(window) {}
    void ShowMessage(const std::string& text) override;

   private:
    TPlotForm& window_;
  };

  void TakeLookOfPrimary(const TPlotForm& primary);
  void BuildMenus();
  void BuildExportMenu(QMenu& file_menu);
  void BuildPrintMenu(QMenu& file_menu);
  void BuildStatusBar();
  void ListRecentFiles();  // each time the File menu opens
  // The recently-used list and, with "Defaults track changes", the default folder.
  void RememberFile(const std::filesystem::path& file, bool saved);
  std::filesystem::path OpenFolder() const;  // where the open dialogs start
  std::filesystem::path SaveFolder() const;  // where the save and export dialogs start
  void RecordReplaced();  // caption, status text, buttons and limits follow the record
  void RefreshCommands();
  void ApplyGeometryLimits();
  bool OpensFiles() const;  // live windows and the microphone view do not
  void OnStartStopClicked();
  bool WriteRecord(const std::filesystem::path& file);
  std::optional<std::filesystem::path> ChooseFormatFile(bool save, const std::string& title);
  void FormatApplied();
  const TDataPlot* DraggedPlot(const QDropEvent& event) const;  // another window's plot
  const TDataPlot* FormatDropSource(const QDropEvent& event) const;
  std::optional<std::filesystem::path> ChooseExportFile(const FileQuestion& question);
  void RecordWindowsFollow();  // the table and notes windows follow a new record
  void CloseRecordWindows();
  struct PlotSet;
  void LeavePlotSet();        // the others stay in place, one of them shown
  void RefreshPlotSetTabs();  // every member's tab strip shows the members
  bool IsOnTabStrip(const QPoint& window_position) const;
  TPlotForm* DraggedWindow(const QDropEvent& event) const;

  const PlotRole role_;
  PlotFormContext context_;
  DialogMessages messages_{*this};
  std::optional<TDataMeas> own_record_;
  bool measuring_ = false;
  std::optional<QPoint> status_drag_from_;  // a left press on the status bar
  std::string status_text_;
  Notices format_notices_;

  // Child widgets, owned by Qt through their parents.
  TDataPlot* plot_ = nullptr;
  QWidget* status_panel_ = nullptr;  // panel 0, with the buttons
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
  QMenu* file_menu_ = nullptr;
  std::vector<QAction*> recent_file_actions_;  // after recent_files_separator_
  QAction* recent_files_separator_ = nullptr;
  QAction* export_ascii_action_ = nullptr;
  QAction* export_mlssa_action_ = nullptr;
  QAction* export_polar_action_ = nullptr;
  QAction* save_wav_action_ = nullptr;
  QAction* print_action_ = nullptr;
  QAction* print_options_action_ = nullptr;
  QAction* print_screen_action_ = nullptr;
  QAction* primary_colors_action_ = nullptr;
  QAction* allow_all_lf_action_ = nullptr;
  QAction* table_action_ = nullptr;
  QAction* notes_action_ = nullptr;
  QAction* show_forms_action_ = nullptr;
  // The record's windows: top-level children, deleted before the record they show goes.
  QPointer<TGridForm> table_;
  const TDataMeas* table_record_ = nullptr;
  QPointer<NotesWindow> notes_;
  // Shared by the members of a set; none outside one.
  std::shared_ptr<PlotSet> plot_set_;
  QTabBar* tab_bar_ = nullptr;
  QAction* plot_sets_action_ = nullptr;  // the "PlotSets" menu
};

}  // namespace vireon
