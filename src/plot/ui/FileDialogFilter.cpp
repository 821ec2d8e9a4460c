#include "plot/ui/FileDialogFilter.h"

#include <QStringList>

namespace vireon {

QString QtFileFilter(std::string_view filter) {
  const QStringList parts = QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size()))
                                .split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (patterns.isEmpty()) continue;
    // Descriptions that already end in their patterns keep them once.
    const QString shown = QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    filters << (parts[i].endsWith(shown) ? parts[i] : parts[i] + shown);
  }
  return filters.join(QStringLiteral(";;"));
}

}  // namespace vireon
