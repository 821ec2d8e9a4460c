#include "plot/render/ImageFile.h"

#include <QBuffer>
#include <QByteArray>

#include <string_view>

#include "common/AtomicFile.h"
#include "common/VireonError.h"

namespace vireon {

void SavePngAtomically(const QImage& image, const std::filesystem::path& target) {
  QByteArray encoded;
  QBuffer buffer(&encoded);
  buffer.open(QIODevice::WriteOnly);
  if (image.isNull() || !image.save(&buffer, "PNG")) {
    throw VireonError("Could not encode the picture for " + target.string());
  }
  WriteFileAtomically(
      target, std::string_view(encoded.constData(), static_cast<std::size_t>(encoded.size())));
}

}  // namespace vireon
