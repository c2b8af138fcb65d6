#pragma once
// The credits box: a fixed page naming the outside software the program is
// made with, each with a picture and its web address. Opened modally from
// Help | Credits and destroyed when it closes.
#include <QByteArray>
#include <QDialog>
#include <QImage>
#include <QString>

class QLabel;
class QPushButton;

class TfrmCredits : public QDialog {
  Q_OBJECT
public:
  explicit TfrmCredits(QWidget* Parent = nullptr);

  // A JPEG picture decoded with libjpeg. Anything libjpeg rejects, a picture
  // with corrupt data, a colour model other than grey or RGB, or one larger
  // than MaxJpegPixels gives a null image.
  static QImage DecodeJpeg(const QByteArray& Data);
  // A JPEG file or resource (":/credits/..."); a null image when it cannot be
  // read or decoded.
  static QImage LoadJpeg(const QString& FileName);

  static constexpr qint64 MaxJpegPixels = 4096 * 4096;

private:
  QLabel* imgBackground = nullptr;
  QLabel* imgToolchain = nullptr;
  QLabel* lblToolchain = nullptr;
  QLabel* lblToolchainAddress = nullptr;
  QLabel* imgEmulator = nullptr;
  QLabel* lblEmulator = nullptr;
  QLabel* lblEmulatorAddress = nullptr;
  QLabel* imgToolkit = nullptr;
  QLabel* lblToolkit = nullptr;
  QLabel* lblToolkitAddress = nullptr;
  QLabel* imgBuild = nullptr;
  QLabel* lblBuild = nullptr;
  QLabel* lblBuildAddress = nullptr;
  QPushButton* butClose = nullptr;
};
