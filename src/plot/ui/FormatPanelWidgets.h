#pragma once

#include <QHBoxLayout>
#include <QLabel>
#include <QString>
#include <QTabWidget>

#include "plot/ui/TEditRealSpin.h"

namespace vireon::format_panel {

// The format panel's pages are single rows: a caption before each entry, buttons and boxes
// named by their captions so that tests and scripts find them.

inline QWidget* NewPage(QTabWidget* owner) {
  auto* page = new QWidget(owner);
  auto* row = new QHBoxLayout(page);
  row->setContentsMargins(4, 2, 4, 2);
  row->setSpacing(4);
  page->hide();
  return page;
}

inline QLabel* AddLabel(QWidget* page, const QString& text) {
  auto* label = new QLabel(text, page);
  page->layout()->addWidget(label);
  return label;
}

inline TEditRealSpin* AddEntry(QWidget* page, const QString& name, QLabel** label = nullptr) {
  QLabel* caption = AddLabel(page, name);
  if (label != nullptr) *label = caption;
  auto* entry = new TEditRealSpin(page);
  entry->setObjectName(name);
  entry->SetShowUnits(true);
  page->layout()->addWidget(entry);
  return entry;
}

template <typename Widget>
Widget* AddWidget(QWidget* page, const QString& text) {
  auto* widget = new Widget(text, page);
  widget->setObjectName(text);
  page->layout()->addWidget(widget);
  return widget;
}

// A control whose command belongs to a part of the program not built yet.
inline void ShowUnavailable(QWidget* widget, const QString& reason) {
  widget->setEnabled(false);
  widget->setToolTip(reason);
}

}  // namespace vireon::format_panel
