#include "plot/ui/TPlotForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <system_error>
#include <utility>

#include "common/VireonError.h"
#include "config/AsciiCase.h"
#include "files/FileIO_Data.h"
#include "files/OpenDispatch.h"
#include "files/TextDataFile.h"
#include "files/TextExports.h"
#include "files/WavFileWrite.h"
#include "files/ui/TGridForm.h"
#include "plot/PlotFormatFile.h"
#include "plot/render/QtText.h"
#include "plot/ui/FileDialogFilter.h"
#include "plot/ui/NotesWindow.h"
#include "plot/ui/TDataPlot.h"

namespace vireon {
namespace {

// A record's colours: 0 background, 1 grid, 2 markers, 3 trace A, 4 trace B, ...
constexpr int kTraceAColor = 3;
constexpr int kTraceBColor = 4;
constexpr int kMinimumWidth = 350;
constexpr int kMinimumGraphHeight = 240;
constexpr int kScreenMargin = 30;
constexpr int kStatusPanelWidth = 150;

constexpr const char* kPrimaryStatusHint =
    "The \"lightning\" button auto scales the graph.\r\n"
    "The clock (or blue graph) button changes the function domain";
constexpr const char* kStatusHint =
    "Drag from another Plot to this bottom area\r\n"
    "  to copy its formating to this graph.\r\n"
    "Drag to the main body of this graph to copy\r\n"
    "  entire graphs and data.";

constexpr const char* kOpenFilter =
    "All Data Files|*.vr2;*.vrd;*.frd;*.fr2;*.zf2;*.im2;*.imp;*.zma;*.dat;*.wav;*.txt|"
    "Vireon Data Files (*.vr2)|*.vr2|"
    "Vireon Text Data files (*.vrd)|*.vrd|"
    "Frequency Response (*.frd)|*.frd|"
    "Frequency Response (*.fr2)|*.fr2|"
    "Impedance (*.zma)|*.zma|"
    "Impedance (*.zf2)|*.zf2|"
    "Impulse Response (*.im2)|*.im2|"
    "Impulse Response (*.imp)|*.imp|"
    "ASCII Frequency Response (*.dat)|*.dat|"
    "WAV files (*.wav)|*.wav|"
    "ASCII files (*.*)|*.*|";
constexpr const char* kNativeSaveFilter =
    "Vireon Data Files (*.vr2)|*.vr2|"
    "Vireon Text Data files (*.vrd)|*.vrd|";
constexpr const char* kFrdSaveFilter = "Frequency Response (*.frd)|*.frd|";
constexpr const char* kTextExportSaveFilter = "Text Export Data files (*.txt)|*.txt|";
constexpr const char* kAsciiSaveFilter = "ASCII Export files (*.*)|*.*|";
// "Allow all LF" applies to records whose lowest usable frequency is set.
constexpr double kLowestUsableFrequencyUnset = 1e-12;

// The kinds of file a drop from the desktop opens; others are ignored.
constexpr std::array<std::string_view, 9> kDroppableExtensions = {
    ".wav", ".vr2", ".vrd", ".im2", ".imp", ".frd", ".fr2", ".zma", ".zf2"};

bool HasExtension(const std::filesystem::path& file, std::string_view extension) {
  return EqualIgnoringAsciiCase(file.extension().string(), extension);
}

// The first dropped local file of a kind the window opens.
std::optional<std::filesystem::path> DroppedDataFile(const QMimeData& mime) {
  for (const QUrl& url : mime.urls()) {
    if (!url.isLocalFile()) continue;
    const std::filesystem::path file(url.toLocalFile().toStdString());
    const bool known =
        std::any_of(kDroppableExtensions.begin(), kDroppableExtensions.end(),
                    [&file](std::string_view extension) { return HasExtension(file, extension); });
    if (known) return file;
  }
  return std::nullopt;
}

// A menu shows "&" as a shortcut mark unless doubled.
QString MenuText(const std::string& bytes) { return ToQString(bytes).replace('&', "&&"); }

enum class Glyph { Lightning, Start, Stop, Clock, Graph };

QIcon GlyphIcon(Glyph glyph) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::black, 1));
  switch (glyph) {
    case Glyph::Lightning:
      painter.setBrush(QColor(0xFF, 0xD8, 0x00));
      painter.drawPolygon(QPolygon({{10, 0}, {3, 9}, {7, 9}, {5, 15}, {13, 6}, {9, 6}, {12, 0}}));
      break;
    case Glyph::Start:
      painter.setBrush(QColor(0x00, 0xA0, 0x00));
      painter.drawPolygon(QPolygon({{3, 2}, {14, 8}, {3, 14}}));
      break;
    case Glyph::Stop:
      painter.setBrush(QColor(0xD0, 0x00, 0x00));
      painter.drawRect(3, 3, 10, 10);
      break;
    case Glyph::Clock:
      painter.setBrush(Qt::white);
      painter.drawEllipse(1, 1, 14, 14);
      painter.drawLine(8, 8, 8, 3);
      painter.drawLine(8, 8, 12, 8);
      break;
    case Glyph::Graph:
      painter.setPen(QPen(QColor(0x00, 0x40, 0xE0), 2));
      painter.drawPolyline(QPolygon({{1, 12}, {4, 4}, {7, 10}, {10, 6}, {15, 7}}));
      break;
  }
  painter.end();
  return QIcon(pixmap);
}

QToolButton* GlyphButton(Glyph glyph, const char* name, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setIcon(GlyphIcon(glyph));
  button->setAutoRaise(true);
  return button;
}

}  // namespace

void TPlotForm::DialogMessages::ShowMessage(const std::string& text) {
  window_.context_.dialogs.ShowMessage(&window_, text);
}

TPlotForm::TPlotForm(const PlotRole& role, PlotFormContext context, QWidget* parent)
    : QMainWindow(parent), role_(role), context_(std::move(context)) {
  setObjectName(QString::fromStdString(role_.ComponentName()));
  setWindowTitle(QString::fromStdString(role_.Caption()));
  if (role_.kind != PlotRoleKind::Primary) setAttribute(Qt::WA_DeleteOnClose);
  setAcceptDrops(OpensFiles());
  setAttribute(Qt::WA_QuitOnClose, false);  // the program ends with its main window

  plot_ = new TDataPlot(context_.files, messages_, this);
  plot_->setObjectName("DataPlot");
  plot_->SetPrimary(role_.kind == PlotRoleKind::Primary);
  if (role_.kind != PlotRoleKind::Primary) {
    own_record_.emplace(DefaultPlotRecord(context_.files.Defaults));
    plot_->SetTitle(kPlotTitlePrefix);
  }
  // The tab strip of a PlotSet sits above the plot; it shows only in a set.
  auto* area = new QWidget(this);
  area->setObjectName("PlotArea");
  auto* area_layout = new QVBoxLayout(area);
  area_layout->setContentsMargins(0, 0, 0, 0);
  area_layout->setSpacing(0);
  tab_bar_ = new QTabBar(area);
  tab_bar_->setObjectName("PlotSetTabs");
  tab_bar_->setContextMenuPolicy(Qt::CustomContextMenu);
  tab_bar_->hide();
  connect(tab_bar_, &QTabBar::currentChanged, this, &TPlotForm::SelectPlotSetMember);
  connect(tab_bar_, &QTabBar::customContextMenuRequested, this, &TPlotForm::IsolateFromPlotSet);
  area_layout->addWidget(tab_bar_);
  area_layout->addWidget(plot_, 1);
  setCentralWidget(area);
  connect(plot_, &TDataPlot::RecordDropped, this, [this] { RecordReplaced(); });
  connect(plot_, &TDataPlot::RecordChanged, this, [this] {
    if (table_ != nullptr) table_->Refresh();
    RefreshCommands();
  });

  PlotSession& session = *context_.session;
  if (role_.kind == PlotRoleKind::Primary) session.primary = this;
  std::erase_if(session.windows, [](const QPointer<TPlotForm>& window) { return window.isNull(); });
  session.windows.push_back(this);
  if (!session.recent_files_read) {
    session.recent_files.Load(context_.data_folder);
    session.recent_files_read = true;
  }
  if (own_record_ && session.primary) TakeLookOfPrimary(*session.primary);

  BuildMenus();
  BuildStatusBar();
  ShowRecord(nullptr);
}

// The plot and the table refer to the window's record and message sink: they go before.
// A new window starts with the primary plot's identification table and trace colours, and its
// background picture loaded but switched off.
void TPlotForm::TakeLookOfPrimary(const TPlotForm& primary) {
  if (const TDataMeas* shown = primary.Record(); shown != nullptr) {
    own_record_->FOverlayStyles = shown->FOverlayStyles;
    for (const int trace : {kTraceAColor, kTraceBColor}) {
      own_record_->FColors[trace] = shown->FColors[trace];
    }
  }
  if (!primary.Plot()->CustomBitmapName().empty()) {
    PlotOptions options = plot_->Options();
    options.UseCustomBitmap = false;
    plot_->SetOptions(options);
    plot_->SetCustomBitmapName(primary.Plot()->CustomBitmapName());
  }
}

TPlotForm::~TPlotForm() {
  LeavePlotSet();
  CloseRecordWindows();
  delete plot_;
}

TDataMeas* TPlotForm::Record() const { return plot_->Data(); }

void TPlotForm::ShowRecord(TDataMeas* record) {
  if (record == nullptr && own_record_) record = &*own_record_;
  // The table goes before the record it shows may go; it reopens on the new one.
  const bool table_open = table_ != nullptr && table_record_ != record;
  if (table_open) delete table_.data();
  plot_->SetData(record);
  RecordReplaced();
  if (table_open && record != nullptr) ShowTable();
}

void TPlotForm::BuildMenus() {
  QMenu* file_menu = menuBar()->addMenu("&File");
  file_menu->setObjectName("FileMenu");
  file_menu_ = file_menu;
  connect(file_menu, &QMenu::aboutToShow, this, &TPlotForm::ListRecentFiles);
  open_action_ = file_menu->addAction("&Open..", this, &TPlotForm::Open);
  open_action_->setObjectName("OpenAction");
  save_action_ = file_menu->addAction("&Save", this, &TPlotForm::Save);
  save_action_->setObjectName("SaveAction");
  save_as_action_ = file_menu->addAction("Save &As..", this, [this] {
    const TDataMeas* record = Record();
    if (record != nullptr) SaveAs(ProposedSaveName(*record));
  });
  save_as_action_->setObjectName("SaveAsAction");
  file_menu->addSeparator();
  save_format_action_ = file_menu->addAction("Save Format", this, &TPlotForm::SaveFormat);
  save_format_action_->setObjectName("SaveFormatAction");
  load_format_action_ = file_menu->addAction("Load Format..", this, &TPlotForm::LoadFormat);
  load_format_action_->setObjectName("LoadFormatAction");
  load_pre_format_action_ =
      file_menu->addAction("Load Pre-Format..", this, &TPlotForm::LoadPreFormat);
  load_pre_format_action_->setObjectName("LoadPreFormatAction");
  load_pre_format_action_->setVisible(role_.kind == PlotRoleKind::Primary);
  file_menu->addSeparator();
  BuildExportMenu(*file_menu);
  BuildPrintMenu(*file_menu);
  primary_colors_action_ =
      file_menu->addAction(role_.kind == PlotRoleKind::Primary ? "Keep Color Scheme on Open"
                                                               : "Use Colors of Primary on Open");
  primary_colors_action_->setObjectName("PrimaryColorsAction");
  primary_colors_action_->setCheckable(true);
  connect(primary_colors_action_, &QAction::triggered, this, &TPlotForm::SetUsePrimaryColorsOnOpen);
  recent_files_separator_ = file_menu->addSeparator();

  format_action_ = menuBar()->addAction("&Format", this, &TPlotForm::ToggleFormatPanel);
  format_action_->setObjectName("FormatAction");
  format_action_->setCheckable(true);
  hold_action_ = menuBar()->addAction("Hold", this, &TPlotForm::HoldRecord);
  hold_action_->setObjectName("HoldAction");
  hold_action_->setVisible(role_.kind == PlotRoleKind::Primary);
  clear_multi_action_ = menuBar()->addAction("ClearMulti", this, &TPlotForm::ClearMulti);
  clear_multi_action_->setObjectName("ClearMultiAction");
  clone_action_ = menuBar()->addAction("Clone", this, [this] { Clone(); });
  clone_action_->setObjectName("CloneAction");
  allow_all_lf_action_ =
      menuBar()->addAction("Allow all LF", this, &TPlotForm::AllowAllLowFrequencies);
  allow_all_lf_action_->setObjectName("AllowAllLFAction");
  table_action_ = menuBar()->addAction("&Table", this, &TPlotForm::ShowTable);
  table_action_->setObjectName("TableAction");
  notes_action_ = menuBar()->addAction("Notes", this, &TPlotForm::ShowNotes);
  notes_action_->setObjectName("NotesAction");
  show_forms_action_ = menuBar()->addAction("ShowForms", this, &TPlotForm::ShowFormsRequested);
  show_forms_action_->setObjectName("ShowFormsAction");
  show_forms_action_->setVisible(false);

  QMenu* plot_sets = menuBar()->addMenu("PlotSets");
  plot_sets_action_ = plot_sets->menuAction();
  plot_sets_action_->setObjectName("PlotSetsMenu");
  plot_sets_action_->setVisible(CanJoinPlotSet());
  plot_sets->addAction("Start a PlotSet", this, &TPlotForm::StartPlotSet)
      ->setObjectName("StartPlotSetAction");
  plot_sets->addAction("Add a Plot to PlotSet", this, &TPlotForm::AddPlotToSet)
      ->setObjectName("AddPlotToSetAction");
}

void TPlotForm::BuildExportMenu(QMenu& file_menu) {
  QMenu* menu = file_menu.addMenu("Export");
  menu->setObjectName("ExportMenu");
  export_ascii_action_ = menu->addAction("ASCII general format", this, &TPlotForm::ExportAscii);
  export_ascii_action_->setObjectName("ExportAsciiAction");
  export_mlssa_action_ = menu->addAction("MLSSA ASCII time", this, &TPlotForm::ExportMlssa);
  export_mlssa_action_->setObjectName("ExportMlssaAction");
  export_polar_action_ = menu->addAction("Export Polar csv", this, &TPlotForm::ExportPolar);
  export_polar_action_->setObjectName("ExportPolarAction");
  save_wav_action_ = menu->addAction("Save to WAV file", this, &TPlotForm::SaveToWav);
  save_wav_action_->setObjectName("SaveWavAction");
}

void TPlotForm::BuildPrintMenu(QMenu& file_menu) {
  print_action_ = file_menu.addAction("&Print", this, &TPlotForm::Print);
  print_action_->setObjectName("PrintAction");
  print_options_action_ =
      file_menu.addAction("Print &Options...", this, &TPlotForm::ShowPrintOptions);
  print_options_action_->setObjectName("PrintOptionsAction");
  print_screen_action_ = file_menu.addAction("Print entire screen", this, &TPlotForm::PrintScreen);
  print_screen_action_->setObjectName("PrintScreenAction");
  file_menu.addSeparator();
}

void TPlotForm::ListRecentFiles() {
  for (QAction* action : recent_file_actions_) delete action;
  recent_file_actions_.clear();
  const auto& entries = context_.session->recent_files.Entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::filesystem::path file = entries[i];
    QAction* action = file_menu_->addAction(MenuText(MruMenuCaption(i, file, context_.data_folder)),
                                            this, [this, file] { OpenFile(file); });
    action->setObjectName(QString("RecentFile%1").arg(i));
    action->setEnabled(open_action_->isEnabled());
    recent_file_actions_.push_back(action);
  }
  recent_files_separator_->setVisible(!entries.empty());
  // Another window may have switched the shared option since this one was last active.
  primary_colors_action_->setChecked(context_.session->colors_on_open.has_value());
}

void TPlotForm::RememberFile(const std::filesystem::path& file, bool saved) {
  PlotSession& session = *context_.session;
  if (saved) {
    session.folders.FileSaved(file);
  } else {
    session.folders.FileOpened(file);
  }
  session.recent_files.Add(file);
  session.recent_files.Save(context_.data_folder);  // a list that cannot be kept is no loss
}

// Until a configuration names them, the dialogs start in the data folder.
std::filesystem::path TPlotForm::OpenFolder() const {
  const std::string& folder = context_.session->folders.load;
  return folder.empty() ? context_.data_folder : std::filesystem::path(folder);
}

std::filesystem::path TPlotForm::SaveFolder() const {
  const std::string& folder = context_.session->folders.save;
  return folder.empty() ? context_.data_folder : std::filesystem::path(folder);
}

void TPlotForm::BuildStatusBar() {
  auto* panel = new QWidget(statusBar());
  status_panel_ = panel;
  statusBar()->installEventFilter(this);
  panel->setObjectName("StatusPanel0");
  panel->setMinimumWidth(kStatusPanelWidth);
  auto* layout = new QHBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  const bool primary = role_.kind == PlotRoleKind::Primary;
  if (primary) {
    start_stop_button_ = GlyphButton(Glyph::Start, "StartStopButton", panel);
    start_stop_button_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    start_stop_button_->setText("Start [F12]");
    connect(start_stop_button_, &QToolButton::clicked, this, &TPlotForm::OnStartStopClicked);
    layout->addWidget(start_stop_button_);
  }
  layout->addStretch();
  lightning_button_ = GlyphButton(Glyph::Lightning, "LightningButton", panel);
  lightning_button_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(lightning_button_, &QToolButton::clicked, this, [this] { plot_->AutoScaleTraces(true); });
  connect(lightning_button_, &QToolButton::customContextMenuRequested, this,
          [this] { plot_->AutoScaleShared(true); });
  layout->addWidget(lightning_button_);
  if (primary) {
    domain_button_ = GlyphButton(Glyph::Clock, "DomainButton", panel);
    connect(domain_button_, &QToolButton::clicked, this, &TPlotForm::DomainToggleRequested);
    layout->addWidget(domain_button_);
  }
  statusBar()->addWidget(panel);

  status_label_ = new QLabel(statusBar());
  status_label_->setObjectName("StatusText");
  statusBar()->addWidget(status_label_, 1);
  statusBar()->setToolTip(primary ? kPrimaryStatusHint : kStatusHint);
  statusBar()->setSizeGripEnabled(true);
}

void TPlotForm::OnStartStopClicked() {
  if (measuring_) {
    emit StopRequested();
  } else {
    emit StartRequested();
  }
}

void TPlotForm::RecordReplaced() {
  const TDataMeas* record = Record();
  if (record != nullptr && role_.kind != PlotRoleKind::Primary) {
    status_text_ = record->FTitle;
    if (role_.kind == PlotRoleKind::Secondary) setWindowTitle(ToQString(record->FTitle));
  }
  status_label_->setText(ToQString(status_text_));
  if (domain_button_ != nullptr) {
    const bool time = record != nullptr && IsTimeAxisType(record->FDataType);
    domain_button_->setIcon(GlyphIcon(time ? Glyph::Graph : Glyph::Clock));
  }
  RecordWindowsFollow();
  RefreshCommands();
  ApplyGeometryLimits();
}

bool TPlotForm::OpensFiles() const {
  return role_.kind != PlotRoleKind::LiveTime && role_.kind != PlotRoleKind::LiveIR &&
         role_.kind != PlotRoleKind::Mic;
}

void TPlotForm::RefreshCommands() {
  const bool has_record = Record() != nullptr;
  open_action_->setEnabled(has_record && !measuring_ && OpensFiles());
  save_action_->setEnabled(has_record && !measuring_);
  save_as_action_->setEnabled(has_record && !measuring_);
  hold_action_->setEnabled(plot_->CanHold());
  clear_multi_action_->setEnabled(has_record);
  clone_action_->setEnabled(has_record && static_cast<bool>(context_.new_secondary_plot));
  save_format_action_->setEnabled(has_record && !measuring_);
  load_format_action_->setEnabled(has_record && !measuring_ && OpensFiles());
  load_pre_format_action_->setEnabled(!measuring_);
  format_action_->setChecked(plot_->FormatPanelVisible());

  const TDataMeas* record = Record();
  const bool sampled = has_record && IsSampledType(record->FDataType);
  export_ascii_action_->setEnabled(has_record && !measuring_);
  export_mlssa_action_->setVisible(sampled);
  export_mlssa_action_->setEnabled(!measuring_);
  export_polar_action_->setVisible(has_record && record->FPlotKind == kPolarPlotKind);
  export_polar_action_->setEnabled(!measuring_);
  save_wav_action_->setVisible(has_record && record->FDataType == kTimeDomain);
  save_wav_action_->setEnabled(!measuring_);
  print_action_->setEnabled(has_record);
  print_options_action_->setEnabled(has_record);
  primary_colors_action_->setChecked(context_.session->colors_on_open.has_value());
  allow_all_lf_action_->setEnabled(has_record && record->FXUnits == "Hz" &&
                                   record->FBinWidth[0] > kLowestUsableFrequencyUnset);
  table_action_->setEnabled(has_record);
  notes_action_->setEnabled(has_record);
}

void TPlotForm::ApplyGeometryLimits() {
  const int tabs = tab_bar_->isVisibleTo(this) ? tab_bar_->sizeHint().height() : 0;
  setMinimumSize(kMinimumWidth, kMinimumGraphHeight + plot_->Layout().legend.height + tabs);
  if (const QScreen* display = screen(); display != nullptr) {
    const QSize available = display->availableGeometry().size();
    setMaximumSize(std::max(available.width() - kScreenMargin, kMinimumWidth),
                   std::max(available.height() - kScreenMargin, minimumHeight()));
  }
}

bool TPlotForm::OpenFile(const std::filesystem::path& file) {
  TDataMeas* record = Record();
  if (measuring_ || record == nullptr || !OpensFiles()) return false;
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    messages_.ShowMessage("File not found: " + file.string());
    return false;
  }
  // Loaded aside, so that a file that does not load leaves the shown record as it was.
  TDataMeas loaded(context_.files.Defaults);
  CollectedMessages load_messages;
  FileContext files = context_.files;
  const auto& scheme = context_.session->colors_on_open;
  if (scheme) {
    files.UsePrimaryColorsOnOpen = true;
    files.PlotColors = scheme->colors;
    files.OverlayTable = scheme->overlay_styles;
  }
  const bool opened = OpenDataFile(file, loaded, files, load_messages);
  for (const std::string& text : load_messages.Texts()) messages_.ShowMessage(text);
  if (!opened) {
    if (load_messages.Texts().empty()) messages_.ShowMessage("Unable to open " + file.string());
    return false;
  }

  loaded.ClearOverlayNames();
  loaded.FFileName = file.string();
  if (IsSampledType(loaded.FDataType)) {
    loaded.FWinStart = 0;
    loaded.FWinEnd = std::max(loaded.FNumPoints - 1, 0);
  }
  *record = std::move(loaded);
  RememberFile(file, false);
  // The plot takes the record's colours (with the primary's option, those it was given as it
  // was read) before it redraws, which writes the plot's colours into the record.
  if (scheme || !context_.files.UsePrimaryColorsOnOpen) plot_->LoadColorsFromData();
  plot_->SetData(record);
  plot_->SetTitle(OpenedPlotTitle(*record));
  if (HasExtension(file, ".frd") || HasExtension(file, ".dat")) plot_->AutoScaleTraces(true);
  RecordReplaced();
  return true;
}

void TPlotForm::Open() {
  if (measuring_ || Record() == nullptr || !OpensFiles()) return;
  const FileQuestion question{false, "Open Data File", kOpenFilter, "frd", OpenFolder() / ""};
  if (const auto file = context_.dialogs.ChooseFile(this, question)) OpenFile(*file);
}

void TPlotForm::Save() {
  const TDataMeas* record = Record();
  if (measuring_ || record == nullptr) return;
  const std::filesystem::path file = record->FFileName;
  if (IsReservedHoldName(file.filename())) {
    messages_.ShowMessage(std::string(kReservedNameMessage));
    return;
  }
  if (!file.has_filename()) {
    SaveAs({});
    return;
  }
  if (!HasExtension(file, ".vr2") && !HasExtension(file, ".vrd")) {
    SaveAs(std::filesystem::path(file.filename()).replace_extension(".frd").string());
    return;
  }
  if (!WriteRecord(file)) {
    messages_.ShowMessage(kSaveError);
    return;
  }
  RememberFile(file, true);
}

void TPlotForm::SaveAs(const std::string& proposed_name) {
  TDataMeas* record = Record();
  if (measuring_ || record == nullptr) return;
  std::string filter;
  if (!IsTimeAxisType(record->FDataType)) filter += kFrdSaveFilter;
  filter += kNativeSaveFilter;
  if (!IsTimeAxisType(record->FDataType)) filter += kTextExportSaveFilter;
  filter += kAsciiSaveFilter;
  const FileQuestion question{true, "", filter, "vr2", SaveFolder() / proposed_name};
  const auto chosen = context_.dialogs.ChooseFile(this, question);
  if (!chosen) return;
  const std::filesystem::path file = SaveName(*chosen, question.default_extension);
  if (IsReservedHoldName(file.filename())) {
    messages_.ShowMessage(std::string(kReservedNameMessage));
    return;
  }
  if (!WriteRecord(file)) {
    messages_.ShowMessage(kSaveError);
    return;
  }
  record->FFileName = file.string();
  RememberFile(file, true);
  RecordReplaced();
}

// Writes by the file's extension; every failure is reported once, by the caller.
bool TPlotForm::WriteRecord(const std::filesystem::path& file) {
  const TDataMeas& record = *Record();
  CollectedMessages ignored;
  if (HasExtension(file, ".vr2")) return SaveDataFile(file, record, false, ignored);
  if (HasExtension(file, ".vrd")) return SaveTextDataFile(file, record, ignored);
  if (IsSliceKind(record)) return ExportSlices(file, record);
  AsciiExportOptions options;
  options.DistortionAsPercent = plot_->Options().DistortionAsPercent;
  return ExportAsciiGeneral(file, record, options);
}

void TPlotForm::ToggleFormatPanel() {
  plot_->SetFormatPanelVisible(!plot_->FormatPanelVisible());
  RefreshCommands();
}

void TPlotForm::HoldRecord() {
  plot_->Hold(context_.data_folder);
  RefreshCommands();
}

void TPlotForm::ClearMulti() {
  TDataMeas* record = Record();
  if (record == nullptr) return;
  const std::string question = std::string("Clear all \"Multiplot\" ") +
                               (role_.kind == PlotRoleKind::Primary ? "or \"Hold\" " : "") +
                               "traces?";
  if (!context_.dialogs.Confirm(this, question)) return;
  record->ClearOverlayNames();
  plot_->Redraw();
  RefreshCommands();
}

TPlotForm* TPlotForm::Clone() {
  if (Record() == nullptr || !context_.new_secondary_plot) return nullptr;
  TPlotForm* target = context_.new_secondary_plot();
  if (target != nullptr) target->Plot()->DropFrom(*plot_);
  return target;
}

void TPlotForm::AllowAllLowFrequencies() {
  TDataMeas* record = Record();
  if (record == nullptr || record->FXUnits != "Hz") return;
  record->FBinWidth[0] = 0.0;
  plot_->Redraw();
  RefreshCommands();
}

void TPlotForm::SetUsePrimaryColorsOnOpen(bool on) {
  PlotSession& session = *context_.session;
  session.colors_on_open.reset();
  if (on) {
    const TDataPlot& source = session.primary ? *session.primary->Plot() : *plot_;
    OpenColorScheme scheme{context_.files.PlotColors, context_.files.OverlayTable};
    if (const TDataMeas* record = source.Data()) {
      scheme.colors = record->FColors;
      scheme.overlay_styles = record->FOverlayStyles;
    }
    // The plot's own colours are newer than those last written into its record.
    scheme.colors[0] = source.BackColor();
    scheme.colors[1] = source.GridColor();
    scheme.colors[2] = source.MarkersColor();
    session.colors_on_open = scheme;
  }
  RefreshCommands();
}

std::optional<std::filesystem::path> TPlotForm::ChooseFormatFile(bool save,
                                                                 const std::string& title) {
  const FileQuestion question{save, title, std::string(kPlotFormatFilter),
                              std::string(kPlotFormatExtension), context_.data_folder / ""};
  const auto chosen = context_.dialogs.ChooseFile(this, question);
  if (!chosen) return std::nullopt;
  return PlotFormatFilePath(*chosen, context_.data_folder);
}

void TPlotForm::SaveFormat() {
  const TDataMeas* record = Record();
  if (measuring_ || record == nullptr) return;
  const auto file = ChooseFormatFile(true, "");
  if (!file) return;
  try {
    SavePlotFormatFile(*file, CapturePlotFormat(*record));
  } catch (const VireonError&) {
    messages_.ShowMessage(kSaveError);
  }
}

void TPlotForm::LoadFormat() {
  TDataMeas* record = Record();
  if (measuring_ || record == nullptr || !OpensFiles()) return;
  const auto file = ChooseFormatFile(false, "Load Data Format Info");
  if (!file) return;
  const bool primary = role_.kind == PlotRoleKind::Primary;
  if (ApplyPlotFormatFile(*file, *record, primary,
                          WeightingFilesIn(context_.data_folder, messages_), format_notices_)) {
    FormatApplied();
  }
}

void TPlotForm::LoadPreFormat() {
  if (measuring_ || role_.kind != PlotRoleKind::Primary) return;
  const auto file = ChooseFormatFile(false, "Load Data PRE-Format Info");
  if (!file) return;
  if (const auto format = LoadPlotFormatFile(*file, format_notices_)) emit PreFormatLoaded(*format);
}

bool TPlotForm::CopyFormatFrom(const TDataPlot& source) {
  TDataMeas* record = Record();
  const TDataMeas* source_record = source.Data();
  if (measuring_ || record == nullptr || source_record == nullptr || &source == plot_ ||
      !OpensFiles()) {
    return false;
  }
  // The source's weighting is at hand; another name is looked up as a file.
  const WeightingLoader files = WeightingFilesIn(context_.data_folder, messages_);
  const WeightingLoader load = [source_record, &files](const std::string& name) {
    if (source_record->FWeighting && source_record->FWeighting->Name == name) {
      return std::optional<TWeighting>(*source_record->FWeighting);
    }
    return files(name);
  };
  const bool primary = role_.kind == PlotRoleKind::Primary;
  if (ApplyPlotFormat(CapturePlotFormat(*source_record), *record, primary, load) ==
      FormatFit::Refused) {
    return false;
  }
  FormatApplied();
  return true;
}

void TPlotForm::FormatApplied() {
  plot_->Redraw();
  RecordReplaced();
}

bool TPlotForm::IsFormatDropArea(const QPoint& window_position) const {
  return statusBar()->isVisible() && statusBar()->geometry().contains(window_position);
}

void TPlotForm::SetStatusText(const std::string& text) {
  status_text_ = text;
  status_label_->setStyleSheet({});
  status_label_->setText(ToQString(status_text_));
}

void TPlotForm::ShowInputOverload() {
  if (role_.kind != PlotRoleKind::Primary) return;
  status_label_->setStyleSheet("color: white; background-color: red;");
  status_label_->setText("REDUCE INPUT!");
}

std::string TPlotForm::StatusText() const { return status_text_; }

void TPlotForm::SetMeasuring(bool measuring) {
  measuring_ = measuring;
  if (start_stop_button_ != nullptr) {
    start_stop_button_->setText(measuring ? "Stop [Esc]" : "Start [F12]");
    start_stop_button_->setIcon(GlyphIcon(measuring ? Glyph::Stop : Glyph::Start));
  }
  RefreshCommands();
}

void TPlotForm::SetDomainChangeable(bool changeable) {
  if (domain_button_ != nullptr) domain_button_->setEnabled(changeable);
}

// Another window's plot dragged over this window's status bar.
const TDataPlot* TPlotForm::DraggedPlot(const QDropEvent& event) const {
  if (!event.mimeData()->hasFormat(TDataPlot::kDragMimeType)) return nullptr;
  const auto* source = qobject_cast<const TDataPlot*>(event.source());
  if (source == nullptr || source == plot_) return nullptr;
  return qobject_cast<const TPlotForm*>(source->window()) != nullptr ? source : nullptr;
}

const TDataPlot* TPlotForm::FormatDropSource(const QDropEvent& event) const {
  const TDataPlot* source = DraggedPlot(event);
  if (source == nullptr || source->Data() == nullptr) return nullptr;
  return IsFormatDropArea(event.position().toPoint()) ? source : nullptr;
}

bool TPlotForm::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched != statusBar() || (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
                                 type != QEvent::MouseButtonRelease)) {
    return QMainWindow::eventFilter(watched, event);
  }
  const auto* mouse = static_cast<const QMouseEvent*>(event);
  switch (type) {
    case QEvent::MouseButtonPress:
      if (mouse->button() == Qt::LeftButton &&
          mouse->position().x() > status_panel_->geometry().right()) {
        status_drag_from_ = mouse->position().toPoint();
      }
      break;
    case QEvent::MouseMove:
      if (status_drag_from_ && (mouse->buttons() & Qt::LeftButton) &&
          (mouse->position().toPoint() - *status_drag_from_).manhattanLength() >=
              QApplication::startDragDistance()) {
        status_drag_from_.reset();
        plot_->StartDrag();
      }
      break;
    case QEvent::MouseButtonRelease:
      status_drag_from_.reset();
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TPlotForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_B && (event->modifiers() & Qt::ControlModifier)) {
    emit ToggleRequested();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void TPlotForm::keyReleaseEvent(QKeyEvent* event) {
  const bool toggle = event->key() == Qt::Key_B && (event->modifiers() & Qt::ControlModifier);
  if (!toggle && !event->isAutoRepeat()) emit KeyReleased(event->key());
  QMainWindow::keyReleaseEvent(event);
}

void TPlotForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) RefreshCommands();
  if (event->type() == QEvent::WindowStateChange) show_forms_action_->setVisible(isMaximized());
  QMainWindow::changeEvent(event);
}

void TPlotForm::closeEvent(QCloseEvent* event) {
  LeavePlotSet();
  CloseRecordWindows();
  QMainWindow::closeEvent(event);
}

void TPlotForm::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void TPlotForm::dragMoveEvent(QDragMoveEvent* event) {
  // A plot is taken over the status bar (its format) and the tab strip (its window); files
  // anywhere.
  const bool plot = DraggedPlot(*event) != nullptr;  // joins, gives its format or its size
  const bool file = !measuring_ && DroppedDataFile(*event->mimeData());
  if (acceptDrops() && (plot || file)) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void TPlotForm::dropEvent(QDropEvent* event) {
  if (TPlotForm* window = DraggedWindow(*event)) {
    if (AddToPlotSet(*window)) {
      event->acceptProposedAction();
    } else {
      event->ignore();
    }
    return;
  }
  if (const TDataPlot* source = FormatDropSource(*event)) {
    if (!measuring_ && CopyFormatFrom(*source)) {
      event->acceptProposedAction();
    } else {
      event->ignore();
    }
    return;
  }
  if (const TDataPlot* source = DraggedPlot(*event)) {
    resize(source->window()->size());
    plot_->Redraw();
    event->acceptProposedAction();
    return;
  }
  const auto file = DroppedDataFile(*event->mimeData());
  if (!file) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  OpenFile(*file);
}

}  // namespace vireon
