// The about and credits boxes, opened for real on the offscreen platform, and
// the JPEG decoding behind the credits pictures.
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "support/UVersionInfo.h"
#include "ui/common/FAbout.h"
#include "ui/common/FCredits.h"

namespace {

// A picture of our own, encoded here with libjpeg in a colour model the
// credits pictures do not use.
QByteArray EncodeJpeg(int Width, int Height, J_COLOR_SPACE Space, int Components) {
  jpeg_compress_struct Info;
  jpeg_error_mgr Error;
  Info.err = jpeg_std_error(&Error);
  jpeg_create_compress(&Info);
  unsigned char* Out = nullptr;
  unsigned long Size = 0;
  jpeg_mem_dest(&Info, &Out, &Size);
  Info.image_width = Width;
  Info.image_height = Height;
  Info.input_components = Components;
  Info.in_color_space = Space;
  jpeg_set_defaults(&Info);
  jpeg_start_compress(&Info, TRUE);
  std::vector<unsigned char> Row(static_cast<std::size_t>(Width) * Components);
  while (Info.next_scanline < Info.image_height) {
    for (int X = 0; X < Width; ++X)
      for (int C = 0; C < Components; ++C) Row[X * Components + C] = static_cast<unsigned char>((X * 9 + C * 60) & 255);
    JSAMPROW P = Row.data();
    jpeg_write_scanlines(&Info, &P, 1);
  }
  jpeg_finish_compress(&Info);
  jpeg_destroy_compress(&Info);
  QByteArray Data(reinterpret_cast<const char*>(Out), static_cast<qsizetype>(Size));
  std::free(Out);
  return Data;
}

QByteArray ReadResource(const QString& Name) {
  InitAboutResources();
  QFile File(Name);
  if (!File.open(QIODevice::ReadOnly)) return {};
  return File.readAll();
}

template <typename T>
T* Child(QWidget& Parent, const char* Name) {
  auto* W = Parent.findChild<T*>(QString::fromLatin1(Name));
  EXPECT_NE(W, nullptr) << Name;
  return W;
}

// Presses the button of whatever modal box is open once the event loop runs.
void ClickWhenModal(const char* Button) {
  QTimer::singleShot(0, [Button] {
    QWidget* Modal = QApplication::activeModalWidget();
    ASSERT_NE(Modal, nullptr);
    auto* B = Modal->findChild<QPushButton*>(QString::fromLatin1(Button));
    ASSERT_NE(B, nullptr);
    QTest::mouseClick(B, Qt::LeftButton);
  });
}

}  // namespace

TEST(AboutBox, ShowsTheVersionRecordInItsLayout) {
  TfrmAbout About;
  About.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&About));
  EXPECT_EQ(About.windowTitle(), "About Lurvik");
  EXPECT_EQ(About.size(), QSize(391, 177));
  EXPECT_EQ(About.minimumSize(), About.maximumSize());  // a fixed frame
  EXPECT_FALSE(About.windowIcon().isNull());

  auto* Logo = Child<QLabel>(About, "imgLogo");
  ASSERT_NE(Logo, nullptr);
  EXPECT_EQ(Logo->geometry(), QRect(8, 8, 50, 160));
  EXPECT_FALSE(Logo->pixmap().isNull());
  EXPECT_EQ(Logo->pixmap().size(), QSize(50, 160));

  const lvk::TVersionInfo Info;
  struct {
    const char* Name;
    int Top;
    std::string Value;
    bool Bold;
  } const Rows[] = {
      {"lblFileDescription", 16, Info.FileDescription(), true},
      {"lblFileVersion", 32, Info.FileVersion(), false},
      {"lblCompanyName", 64, Info.CompanyName(), false},
      {"lblComments", 80, Info.Comments(), false},
  };
  for (const auto& Row : Rows) {
    auto* Label = Child<QLabel>(About, Row.Name);
    ASSERT_NE(Label, nullptr);
    EXPECT_EQ(Label->text(), QString::fromStdString(Row.Value)) << Row.Name;
    EXPECT_FALSE(Label->text().isEmpty()) << Row.Name;
    EXPECT_EQ(Label->pos(), QPoint(72, Row.Top)) << Row.Name;
    EXPECT_EQ(Label->font().bold(), Row.Bold) << Row.Name;
    EXPECT_LE(Label->geometry().right(), About.width()) << Row.Name;
  }
  EXPECT_EQ(Child<QLabel>(About, "lblFileDescription")->text(), "Lurvik Studio");

  auto* Close = Child<QPushButton>(About, "butClose");
  ASSERT_NE(Close, nullptr);
  EXPECT_EQ(Close->text(), "&Close");
  EXPECT_EQ(Close->geometry(), QRect(312, 144, 75, 25));
  QTest::mouseClick(Close, Qt::LeftButton);
  EXPECT_FALSE(About.isVisible());
}

TEST(AboutBox, ModalBoxClosesWithItsButtonAndCentresOverItsOwner) {
  QWidget Owner;
  Owner.setGeometry(200, 150, 800, 600);
  QPixmap OwnerIcon(16, 16);
  OwnerIcon.fill(Qt::red);
  Owner.setWindowIcon(QIcon(OwnerIcon));
  Owner.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Owner));
  TfrmAbout About(&Owner);
  // The program's icon is the one its main window shows.
  EXPECT_EQ(About.windowIcon().cacheKey(), Owner.windowIcon().cacheKey());
  EXPECT_EQ(TfrmCredits(&Owner).windowIcon().cacheKey(), Owner.windowIcon().cacheKey());
  QPoint Centre;
  QTimer::singleShot(0, [&] { Centre = About.geometry().center(); });
  ClickWhenModal("butClose");
  EXPECT_EQ(About.exec(), QDialog::Accepted);
  EXPECT_LE((Centre - Owner.geometry().center()).manhattanLength(), 40);
}

TEST(CreditsBox, LaysOutFourRowsWithDecodedPictures) {
  TfrmCredits Credits;
  Credits.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Credits));
  EXPECT_EQ(Credits.windowTitle(), "Lurvik credits");
  EXPECT_EQ(Credits.size(), QSize(501, 345));
  EXPECT_EQ(Credits.minimumSize(), Credits.maximumSize());

  auto* Background = Child<QLabel>(Credits, "imgBackground");
  ASSERT_NE(Background, nullptr);
  EXPECT_EQ(Background->geometry(), QRect(0, 0, 185, 345));
  EXPECT_FALSE(Background->pixmap().isNull());
  EXPECT_TRUE(Background->hasScaledContents());

  struct {
    const char* Picture;
    QRect Place;
    const char* Caption;
    const char* CaptionText;
    int CaptionTop;
    const char* Address;
    const char* AddressText;
    int AddressTop;
  } const Rows[] = {
      {"imgToolchain", {8, 8, 160, 48}, "lblToolchain", "Backend compiler and lib nds", 16,
       "lblToolchainAddress", "https://devkitpro.org", 32},
      {"imgEmulator", {136, 72, 32, 32}, "lblEmulator", "NDS emulator", 72, "lblEmulatorAddress",
       "https://desmume.org", 88},
      {"imgToolkit", {80, 128, 89, 65}, "lblToolkit", "Frontend GUI application framework", 134,
       "lblToolkitAddress", "https://www.qt.io", 150},
      {"imgBuild", {64, 216, 110, 63}, "lblBuild", "Build and install of releases", 222, "lblBuildAddress",
       "https://cmake.org", 238},
  };
  for (const auto& Row : Rows) {
    auto* Picture = Child<QLabel>(Credits, Row.Picture);
    auto* Caption = Child<QLabel>(Credits, Row.Caption);
    auto* Address = Child<QLabel>(Credits, Row.Address);
    ASSERT_TRUE(Picture && Caption && Address);
    EXPECT_EQ(Picture->geometry(), Row.Place) << Row.Picture;
    EXPECT_FALSE(Picture->pixmap().isNull()) << Row.Picture;
    // Pictures lie above the background, not under it.
    EXPECT_EQ(Credits.childAt(Row.Place.center()), Picture) << Row.Picture;
    EXPECT_EQ(Caption->text(), Row.CaptionText);
    EXPECT_EQ(Caption->pos(), QPoint(192, Row.CaptionTop));
    EXPECT_TRUE(Caption->font().bold());
    EXPECT_EQ(Address->text(), Row.AddressText);
    EXPECT_EQ(Address->pos(), QPoint(192, Row.AddressTop));
    EXPECT_FALSE(Address->font().bold());
    // Plain text: an address is shown, never followed.
    EXPECT_EQ(Address->textFormat(), Qt::PlainText);
    EXPECT_FALSE(Address->openExternalLinks());
    EXPECT_LE(Address->geometry().right(), Credits.width());
  }

  // The toolkit picture is kept in proportion (120 by 88) inside its place.
  auto* Toolkit = Child<QLabel>(Credits, "imgToolkit");
  const QSize Shown = Toolkit->pixmap().size();
  EXPECT_FALSE(Toolkit->hasScaledContents());
  EXPECT_TRUE(Shown.width() == 89 || Shown.height() == 65) << Shown.width() << "x" << Shown.height();
  EXPECT_LE(Shown.width(), 89);
  EXPECT_LE(Shown.height(), 65);
  EXPECT_NEAR(double(Shown.width()) / Shown.height(), 120.0 / 88.0, 0.03);

  auto* Close = Child<QPushButton>(Credits, "butClose");
  ASSERT_NE(Close, nullptr);
  EXPECT_EQ(Close->text(), "&Close");
  EXPECT_EQ(Close->geometry(), QRect(416, 312, 75, 25));
  EXPECT_TRUE(Close->isDefault());
}

TEST(CreditsBox, EnterPressesTheDefaultCloseButton) {
  TfrmCredits Credits;
  QTimer::singleShot(0, [] {
    QWidget* Modal = QApplication::activeModalWidget();
    ASSERT_NE(Modal, nullptr);
    QTest::keyClick(Modal, Qt::Key_Return);
  });
  EXPECT_EQ(Credits.exec(), QDialog::Accepted);

  TfrmCredits Again;
  ClickWhenModal("butClose");
  EXPECT_EQ(Again.exec(), QDialog::Accepted);
}

TEST(CreditsJpeg, DecodesEachPictureAtItsSize) {
  struct {
    const char* Name;
    QSize Size;
  } const Pictures[] = {
      {":/credits/CreditsBackground.jpg", {185, 345}}, {":/credits/CreditsToolchain.jpg", {160, 48}},
      {":/credits/CreditsEmulator.jpg", {32, 32}},     {":/credits/CreditsToolkit.jpg", {120, 88}},
      {":/credits/CreditsBuild.jpg", {110, 63}},
  };
  for (const auto& P : Pictures) {
    const QImage Image = TfrmCredits::LoadJpeg(P.Name);
    ASSERT_FALSE(Image.isNull()) << P.Name;
    EXPECT_EQ(Image.size(), P.Size) << P.Name;
  }
  // Real colours came through: the background is a blue gradient, darker at
  // the bottom.
  const QImage Background = TfrmCredits::LoadJpeg(":/credits/CreditsBackground.jpg");
  const QColor Top = Background.pixelColor(3, 3), Bottom = Background.pixelColor(3, 340);
  EXPECT_GT(Top.blue(), Top.red() + 40);
  EXPECT_GT(Top.lightness(), Bottom.lightness());
}

TEST(CreditsJpeg, DecodesGreyAndRejectsOtherColourModels) {
  const QImage Grey = TfrmCredits::DecodeJpeg(EncodeJpeg(20, 10, JCS_GRAYSCALE, 1));
  ASSERT_FALSE(Grey.isNull());
  EXPECT_EQ(Grey.size(), QSize(20, 10));
  EXPECT_EQ(Grey.format(), QImage::Format_Grayscale8);
  // Columns grow lighter to the right, as encoded.
  EXPECT_LT(qGray(Grey.pixel(1, 5)), qGray(Grey.pixel(18, 5)));

  const QImage Rgb = TfrmCredits::DecodeJpeg(EncodeJpeg(16, 16, JCS_RGB, 3));
  ASSERT_FALSE(Rgb.isNull());
  EXPECT_EQ(Rgb.size(), QSize(16, 16));

  EXPECT_TRUE(TfrmCredits::DecodeJpeg(EncodeJpeg(16, 16, JCS_CMYK, 4)).isNull());
}

TEST(CreditsJpeg, BadDataGivesANullImage) {
  const QByteArray Good = ReadResource(":/credits/CreditsToolkit.jpg");
  ASSERT_GT(Good.size(), 200);
  EXPECT_TRUE(TfrmCredits::DecodeJpeg(QByteArray()).isNull());
  EXPECT_TRUE(TfrmCredits::DecodeJpeg(QByteArray("not a picture at all")).isNull());
  EXPECT_TRUE(TfrmCredits::DecodeJpeg(QByteArray(5000, '\xFF')).isNull());
  // Cut short in its header, and cut short in its picture data.
  EXPECT_TRUE(TfrmCredits::DecodeJpeg(Good.left(20)).isNull());
  EXPECT_TRUE(TfrmCredits::DecodeJpeg(Good.left(Good.size() / 2)).isNull());
  EXPECT_TRUE(TfrmCredits::LoadJpeg(":/credits/NoSuchPicture.jpg").isNull());

  // A header claiming 65000 by 65000 pixels is refused before any pixel
  // memory is taken.
  QByteArray Huge = Good;
  const qsizetype Sof = Huge.indexOf(QByteArray("\xFF\xC0", 2));
  ASSERT_GT(Sof, 0);
  Huge[Sof + 5] = char(0xFD);
  Huge[Sof + 6] = char(0xE8);
  Huge[Sof + 7] = char(0xFD);
  Huge[Sof + 8] = char(0xE8);
  EXPECT_TRUE(TfrmCredits::DecodeJpeg(Huge).isNull());
}

int main(int argc, char** argv) {
  QApplication App(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
