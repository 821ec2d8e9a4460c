#pragma once

#include <QColor>
#include <QString>
#include <QTabWidget>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/FileContext.h"
#include "plot/AutoScale.h"
#include "plot/PlotMouse.h"
#include "plot/PlotOptions.h"
#include "plot/ui/FormatTabs.h"
#include "record/DataObj.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vireon {

class TEditRealSpin;

// The dialogs the format panel opens; tests answer them in place of a person.
struct FormatPanelDialogs {
  // A colour starting from `current`; an invalid colour when cancelled.
  std::function<QColor(const QColor& current, const QString& title)> choose_color;
  // Files to open, several when `multiple`; none when cancelled. `filter` as QtFileFilter takes.
  std::function<std::vector<std::filesystem::path>(const QString& title, std::string_view filter,
                                                   bool multiple)>
      open_files;
  // The file to save to; none when cancelled.
  std::function<std::optional<std::filesystem::path>(const QString& title, std::string_view filter)>
      save_file;
};

// The colour and file dialogs of the toolkit, opened over `parent`.
FormatPanelDialogs StandardFormatPanelDialogs(QWidget* parent);

// The plot's format panel: tabs that edit the shown record's display settings (horizontal
// range, traces, vertical scales and references, markers, weighting, delay, colours, overlay
// list) and the plot's own title, colours and trace width. Edits go into the record at once;
// the plot redraws on `RecordEdited` and shows the panel again.
class PlotFormatPanel : public QTabWidget {
  Q_OBJECT

 public:
  // `messages` shows why a file could not be used; it must outlive the panel.
  explicit PlotFormatPanel(MessageSink& messages, QWidget* parent = nullptr);
  void SetDialogs(FormatPanelDialogs dialogs) { dialogs_ = std::move(dialogs); }

  // The tabs and values of `record` (not owned; none shows only the title), the plot's title
  // and the options it draws with.
  void Show(TDataMeas* record, const std::string& title, const PlotOptions& options);
  // "Use Cent/Span": the horizontal range is entered as centre and span.
  bool CentreSpanEntry() const { return centre_span_; }

 signals:
  void RecordEdited();
  void TitleEdited(const QString& title);
  void AutoScaleRequested(int trace, AutoScaleMode mode);  // trace -1: both
  void SharedAutoScaleRequested();                         // right click on "AutoV"
  void MouseModeRequested(TDPMouseMode mode);
  void BackColorChosen(quint32 color);  // 0x00BBGGRR
  void GridColorChosen(quint32 color);
  // The plot's drawing options as edited: distortion as percent, trace widths, phase turn.
  void OptionsEdited(const PlotOptions& options);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct HorizontalPage {
    QWidget* page = nullptr;
    std::array<QLabel*, 2> labels{};         // "Start" and "Stop"
    std::array<QLabel*, 2> centre_labels{};  // "Center" and "Span"
    TEditRealSpin* start = nullptr;
    TEditRealSpin* stop = nullptr;
    TEditRealSpin* centre = nullptr;
    TEditRealSpin* span = nullptr;
    QCheckBox* at_top = nullptr;
    QCheckBox* log = nullptr;
    QPushButton* entry_mode = nullptr;
  };
  // The three tabs of one trace.
  struct TracePages {
    QWidget* chooser_page = nullptr;
    QComboBox* chooser = nullptr;
    QWidget* scale_page = nullptr;
    QCheckBox* wrap = nullptr;
    QLabel* per_div_label = nullptr;
    TEditRealSpin* per_div = nullptr;
    TEditRealSpin* scale_divisions = nullptr;
    QWidget* reference_page = nullptr;
    QLabel* ref_val_label = nullptr;
    TEditRealSpin* ref_val = nullptr;
    TEditRealSpin* ref_div = nullptr;
    TEditRealSpin* reference_divisions = nullptr;
  };
  struct MarkersPage {
    QWidget* page = nullptr;
    std::array<QCheckBox*, 5> shown{};
  };
  struct WindowingPage {
    QWidget* page = nullptr;
    TEditRealSpin* start = nullptr;
    TEditRealSpin* stop = nullptr;
  };
  struct WeightsPage {
    QWidget* page = nullptr;
    QPushButton* load = nullptr;
    QLabel* name = nullptr;
  };
  struct DelayPage {
    QWidget* page = nullptr;
    QCheckBox* phase_invert = nullptr;
    TEditRealSpin* offset = nullptr;
    TEditRealSpin* delay = nullptr;
  };
  struct ColorsPage {
    QWidget* page = nullptr;
    QCheckBox* use_bitmap = nullptr;
    QCheckBox* tile = nullptr;
    std::array<TEditRealSpin*, 2> trace_width{};
  };
  struct OverlayPages {
    QWidget* file_page = nullptr;
    QPushButton* add = nullptr;
    QListWidget* list = nullptr;
    QWidget* control_page = nullptr;
    QCheckBox* show_curves = nullptr;
    QCheckBox* show_legends = nullptr;
  };

  void BuildHorizontalPage();
  void BuildTracePages(int trace);
  void BuildMarkersPage();
  void BuildWindowingPage();
  void BuildTitlePage();
  void BuildDistortionPage();
  void BuildWeightsPage();
  void BuildDelayPage();
  void BuildColorsPage();
  void BuildOverlayPages();
  std::optional<PlotColor> ChooseColor(PlotColor current, const QString& title);
  void LoadWeighting(const std::filesystem::path& file);
  void RemoveWeighting();
  void AddOverlays();
  void SaveOverlays();
  void LoadOverlays();
  TEditRealSpin* AddDivisionsEntry(QWidget* page);
  void Apply(const std::function<bool(TDataMeas&)>& change);
  void ShowValues();
  void ShowTabs(const std::vector<FormatTabEntry>& tabs);
  void ShowHorizontal();
  void ShowTrace(int trace);
  void ShowLook();
  void ShowOverlays();
  QWidget* PageOf(FormatTab tab) const;
  TFieldType* Curve(int trace) const;  // none while the trace shows no curve

  MessageSink& messages_;
  FormatPanelDialogs dialogs_;
  TDataMeas* record_ = nullptr;
  bool live_plot_ = false;
  PlotOptions options_;  // as last shown, edited by the options' widgets
  bool centre_span_ = false;
  std::vector<FormatTabEntry> shown_tabs_;
  HorizontalPage horizontal_;
  std::array<TracePages, 2> traces_;
  MarkersPage markers_;
  WindowingPage windowing_;
  QWidget* title_page_ = nullptr;
  QLineEdit* title_ = nullptr;
  QWidget* distortion_page_ = nullptr;
  QCheckBox* distortion_percent_ = nullptr;
  WeightsPage weights_;
  DelayPage delay_;
  ColorsPage colors_;
  OverlayPages overlays_;
};

}  // namespace vireon
