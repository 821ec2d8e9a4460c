#pragma once

#include <QPixmap>
#include <QWidget>

#include <filesystem>
#include <string>

namespace vireon {

inline constexpr std::string_view kDefaultBackdropName = "BlueCurtain.bmp";
inline constexpr std::string_view kBackdropFilter = "bitmap files (*.bmp)|*.bmp|";

// The desktop backdrop: a borderless window behind the program's windows, filled with a
// picture.
class BackdropWindow : public QWidget {
  Q_OBJECT

 public:
  BackdropWindow(std::filesystem::path data_directory, QWidget* parent);

  // The picture of `file`; when that does not load, or no file is given, "BlueCurtain.bmp" of
  // the data folder when it exists, else the built-in picture. Returns what "BackDropBitmap"
  // keeps: the file when it loaded, else empty.
  std::string SetBackdropBitmap(const std::string& file);
  // Covers the screen the owner stands on, below every other window.
  void ShowBehind();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::filesystem::path data_directory_;
  QPixmap picture_;  // null: the built-in picture
};

}  // namespace vireon
