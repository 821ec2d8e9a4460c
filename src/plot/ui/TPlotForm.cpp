#include "plot/ui/TPlotForm.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <array>
#include <string_view>
#include <system_error>
#include <utility>

#include "common/TextBytes.h"
#include "common/VireonError.h"
#include "config/AsciiCase.h"
#include "files/FileIO_Data.h"
#include "files/OpenDispatch.h"
#include "files/TextDataFile.h"
#include "files/TextExports.h"
#include "plot/PlotFormatFile.h"
#include "plot/ui/FileDialogFilter.h"
#include "plot/ui/TDataPlot.h"

namespace vireon {
namespace {

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

// The kinds of file a drop from the desktop opens; others are ignored.
constexpr std::array<std::string_view, 9> kDroppableExtensions = {
    ".wav", ".vr2", ".vrd", ".im2", ".imp", ".frd", ".fr2", ".zma", ".zf2"};

QString ToQt(const std::string& bytes) { return QString::fromStdString(BytesToUtf8(bytes)); }

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

// Waterfall, polar and the related kinds are exported slice by slice.
bool IsSliceKind(const TDataMeas& record) { return record.FPlotKind >= 2 && record.FPlotKind <= 5; }

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

PlotFormDialogs InteractiveDialogs() {
  PlotFormDialogs dialogs;
  dialogs.ChooseFile = [](QWidget* parent,
                          const FileQuestion& question) -> std::optional<std::filesystem::path> {
    QFileDialog dialog(parent, ToQt(question.title),
                       QString::fromStdString(question.proposed.parent_path().string()),
                       QtFileFilter(question.filter));
    dialog.setAcceptMode(question.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(question.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QString::fromStdString(question.default_extension));
    if (question.proposed.has_filename()) {
      dialog.selectFile(QString::fromStdString(question.proposed.filename().string()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
      return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().front().toStdString());
  };
  dialogs.Confirm = [](QWidget* parent, const std::string& question) {
    return QMessageBox::question(parent, QApplication::applicationDisplayName(), ToQt(question),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  };
  dialogs.ShowMessage = [](QWidget* parent, const std::string& text) {
    QMessageBox::information(parent, QApplication::applicationDisplayName(), ToQt(text));
  };
  return dialogs;
}

void TPlotForm::DialogMessages::ShowMessage(const std::string& text) {
  window_.context_.dialogs.ShowMessage(&window_, text);
}

TPlotForm::TPlotForm(const PlotRole& role, PlotFormContext context, QWidget* parent)
    : QMainWindow(parent),
      role_(role),
      context_(std::move(context)),
      last_folder_(context_.data_folder) {
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
  setCentralWidget(plot_);
  connect(plot_, &TDataPlot::RecordDropped, this, [this] { RecordReplaced(); });
  connect(plot_, &TDataPlot::RecordChanged, this, [this] { RefreshCommands(); });

  BuildMenus();
  BuildStatusBar();
  ShowRecord(nullptr);
}

// The plot refers to the window's record and message sink: it goes before they do.
TPlotForm::~TPlotForm() { delete plot_; }

TDataMeas* TPlotForm::Record() const { return plot_->Data(); }

void TPlotForm::ShowRecord(TDataMeas* record) {
  if (record == nullptr && own_record_) record = &*own_record_;
  plot_->SetData(record);
  RecordReplaced();
}

void TPlotForm::BuildMenus() {
  QMenu* file_menu = menuBar()->addMenu("&File");
  open_action_ = file_menu->addAction("&Open..", this, &TPlotForm::Open);
  open_action_->setObjectName("OpenAction");
  save_action_ = file_menu->addAction("&Save", this, &TPlotForm::Save);
  save_action_->setObjectName("SaveAction");
  save_as_action_ = file_menu->addAction("Save &As..", this, [this] {
    const TDataMeas* record = Record();
    if (record != nullptr) SaveAs(std::filesystem::path(record->FFileName).stem().string());
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
}

void TPlotForm::BuildStatusBar() {
  auto* panel = new QWidget(statusBar());
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
    if (role_.kind == PlotRoleKind::Secondary) setWindowTitle(ToQt(record->FTitle));
  }
  status_label_->setText(ToQt(status_text_));
  if (domain_button_ != nullptr) {
    const bool time = record != nullptr && IsTimeAxisType(record->FDataType);
    domain_button_->setIcon(GlyphIcon(time ? Glyph::Graph : Glyph::Clock));
  }
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
}

void TPlotForm::ApplyGeometryLimits() {
  setMinimumSize(kMinimumWidth, kMinimumGraphHeight + plot_->Layout().legend.height);
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
  const bool opened = OpenDataFile(file, loaded, context_.files, load_messages);
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
  last_folder_ = file.parent_path();
  plot_->SetData(record);
  if (!context_.files.UsePrimaryColorsOnOpen) plot_->LoadColorsFromData();
  plot_->SetTitle(OpenedPlotTitle(*record));
  if (HasExtension(file, ".frd") || HasExtension(file, ".dat")) plot_->AutoScaleTraces(true);
  RecordReplaced();
  return true;
}

void TPlotForm::Open() {
  if (measuring_ || Record() == nullptr || !OpensFiles()) return;
  const FileQuestion question{false, "Open Data File", kOpenFilter, "frd", last_folder_ / ""};
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
  if (!WriteRecord(file)) messages_.ShowMessage(kSaveError);
}

void TPlotForm::SaveAs(const std::string& proposed_name) {
  TDataMeas* record = Record();
  if (measuring_ || record == nullptr) return;
  std::string filter;
  if (!IsTimeAxisType(record->FDataType)) filter += kFrdSaveFilter;
  filter += kNativeSaveFilter;
  if (!IsTimeAxisType(record->FDataType)) filter += kTextExportSaveFilter;
  filter += kAsciiSaveFilter;
  const FileQuestion question{true, "", filter, "vr2", last_folder_ / proposed_name};
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
  last_folder_ = file.parent_path();
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
  if (auto format = LoadPlotFormatFile(*file, format_notices_)) pre_format_ = std::move(format);
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
  status_label_->setText(ToQt(status_text_));
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
const TDataPlot* TPlotForm::FormatDropSource(const QDropEvent& event) const {
  if (!event.mimeData()->hasFormat(TDataPlot::kDragMimeType)) return nullptr;
  const auto* source = qobject_cast<const TDataPlot*>(event.source());
  if (source == nullptr || source == plot_ || source->Data() == nullptr) return nullptr;
  return IsFormatDropArea(event.position().toPoint()) ? source : nullptr;
}

void TPlotForm::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void TPlotForm::dragMoveEvent(QDragMoveEvent* event) {
  // A plot is taken only over the status bar; files anywhere.
  if (acceptDrops() && !measuring_ &&
      (DroppedDataFile(*event->mimeData()) || FormatDropSource(*event) != nullptr)) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void TPlotForm::dropEvent(QDropEvent* event) {
  if (const TDataPlot* source = FormatDropSource(*event)) {
    if (CopyFormatFrom(*source)) {
      event->acceptProposedAction();
    } else {
      event->ignore();
    }
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
