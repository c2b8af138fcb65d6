#include "ui/common/FCredits.h"

#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "ui/common/FAbout.h"

namespace {

// libjpeg reports a fatal error by calling error_exit, which by default ends
// the process. Ours jumps back to the decoder instead.
struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr Info) {
  std::longjmp(reinterpret_cast<TJpegError*>(Info->err)->Jump, 1);
}

// Warnings (corrupt data) are counted, not printed.
void JpegOutputMessage(j_common_ptr) {}

// Holds no C++ object between setjmp and the calls that may jump: the image
// is created through Out, which lives in the caller's frame.
bool DecodeInto(const unsigned char* Data, unsigned long Size, QImage* Out) {
  jpeg_decompress_struct Info;
  TJpegError Error;
  Info.err = jpeg_std_error(&Error.Manager);
  Error.Manager.error_exit = JpegErrorExit;
  Error.Manager.output_message = JpegOutputMessage;
  if (setjmp(Error.Jump)) {
    jpeg_destroy_decompress(&Info);
    return false;
  }
  jpeg_create_decompress(&Info);
  jpeg_mem_src(&Info, Data, Size);
  if (jpeg_read_header(&Info, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&Info);
    return false;
  }
  const bool Grey = Info.jpeg_color_space == JCS_GRAYSCALE;
  if (!Grey && Info.jpeg_color_space != JCS_YCbCr && Info.jpeg_color_space != JCS_RGB) {
    jpeg_destroy_decompress(&Info);
    return false;
  }
  // The size is checked before anything is allocated for the pixels.
  if (Info.image_width == 0 || Info.image_height == 0 ||
      qint64(Info.image_width) * qint64(Info.image_height) > TfrmCredits::MaxJpegPixels) {
    jpeg_destroy_decompress(&Info);
    return false;
  }
  Info.out_color_space = Grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_start_decompress(&Info);
  *Out = QImage(int(Info.output_width), int(Info.output_height),
                Grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
  if (Out->isNull() || Info.output_components != (Grey ? 1 : 3)) {
    jpeg_destroy_decompress(&Info);
    return false;
  }
  while (Info.output_scanline < Info.output_height) {
    JSAMPROW Row = Out->scanLine(int(Info.output_scanline));
    jpeg_read_scanlines(&Info, &Row, 1);
  }
  jpeg_finish_decompress(&Info);
  // A damaged stream decodes with warnings into a partly grey picture; we
  // would rather show none.
  const bool Clean = Error.Manager.num_warnings == 0;
  jpeg_destroy_decompress(&Info);
  return Clean;
}

QLabel* MakeText(QWidget* Parent, const char* Name, const QString& Text, int Top, bool Bold) {
  auto* Label = new QLabel(Text, Parent);
  Label->setObjectName(QString::fromLatin1(Name));
  Label->setTextFormat(Qt::PlainText);
  if (Bold) {
    QFont Font = Label->font();
    Font.setBold(true);
    Label->setFont(Font);
  }
  Label->setGeometry(192, Top, Parent->width() - 192 - 8, Label->fontMetrics().height());
  return Label;
}

// A picture stretched over its rectangle, or kept in proportion inside it.
QLabel* MakePicture(QWidget* Parent, const char* Name, const QString& Resource, QRect Place,
                    bool KeepProportion = false) {
  auto* Label = new QLabel(Parent);
  Label->setObjectName(QString::fromLatin1(Name));
  Label->setGeometry(Place);
  const QImage Image = TfrmCredits::LoadJpeg(Resource);
  if (Image.isNull()) return Label;
  if (KeepProportion) {
    Label->setAlignment(Qt::AlignCenter);
    Label->setPixmap(QPixmap::fromImage(
        Image.scaled(Place.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  } else {
    Label->setScaledContents(true);
    Label->setPixmap(QPixmap::fromImage(Image));
  }
  return Label;
}

}  // namespace

QImage TfrmCredits::DecodeJpeg(const QByteArray& Data) {
  QImage Image;
  if (Data.isEmpty()) return Image;
  if (!DecodeInto(reinterpret_cast<const unsigned char*>(Data.constData()),
                  static_cast<unsigned long>(Data.size()), &Image))
    return QImage();
  return Image;
}

QImage TfrmCredits::LoadJpeg(const QString& FileName) {
  InitAboutResources();
  QFile File(FileName);
  if (!File.open(QIODevice::ReadOnly)) return QImage();
  // Our pictures are a few kilobytes; a file far larger is not one of them.
  if (File.size() > 16 * 1024 * 1024) return QImage();
  return DecodeJpeg(File.readAll());
}

TfrmCredits::TfrmCredits(QWidget* Parent) : QDialog(Parent) {
  InitAboutResources();
  setObjectName("frmCredits");
  setWindowTitle("Lurvik credits");
  setWindowIcon(ProgramIcon(Parent));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
  setFixedSize(501, 345);

  imgBackground = MakePicture(this, "imgBackground", ":/credits/CreditsBackground.jpg", QRect(0, 0, 185, height()));

  imgToolchain = MakePicture(this, "imgToolchain", ":/credits/CreditsToolchain.jpg", QRect(8, 8, 160, 48));
  lblToolchain = MakeText(this, "lblToolchain", "Backend compiler and lib nds", 16, true);
  lblToolchainAddress = MakeText(this, "lblToolchainAddress", "https://devkitpro.org", 32, false);

  imgEmulator = MakePicture(this, "imgEmulator", ":/credits/CreditsEmulator.jpg", QRect(136, 72, 32, 32));
  lblEmulator = MakeText(this, "lblEmulator", "NDS emulator", 72, true);
  lblEmulatorAddress = MakeText(this, "lblEmulatorAddress", "https://desmume.org", 88, false);

  imgToolkit = MakePicture(this, "imgToolkit", ":/credits/CreditsToolkit.jpg", QRect(80, 128, 89, 65), true);
  lblToolkit = MakeText(this, "lblToolkit", "Frontend GUI application framework", 134, true);
  lblToolkitAddress = MakeText(this, "lblToolkitAddress", "https://www.qt.io", 150, false);

  imgBuild = MakePicture(this, "imgBuild", ":/credits/CreditsBuild.jpg", QRect(64, 216, 110, 63));
  lblBuild = MakeText(this, "lblBuild", "Build and install of releases", 222, true);
  lblBuildAddress = MakeText(this, "lblBuildAddress", "https://cmake.org", 238, false);

  butClose = new QPushButton("&Close", this);
  butClose->setObjectName("butClose");
  butClose->setGeometry(416, 312, 75, 25);
  butClose->setDefault(true);
  connect(butClose, &QPushButton::clicked, this, &QDialog::accept);
}
