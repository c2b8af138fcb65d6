// The tagged value encoding, through memory streams.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "TestSupport.h"
#include "model/UErrors.h"
#include "model/UFiler.h"
#include "model/UStream.h"

using namespace lvk;
using test::TBytes;

namespace {

template <typename F>
TBytes Written(F Write) {
  TMemoryStream S;
  TWriter W(S);
  Write(W);
  W.FlushBuffer();
  return S.Bytes();
}

}  // namespace

TEST(Writer, IntegersTakeTheSmallestTag) {
  EXPECT_EQ(Written([](TWriter& W) { W.WriteInteger(127); }), (TBytes{2, 0x7F}));
  EXPECT_EQ(Written([](TWriter& W) { W.WriteInteger(-128); }), (TBytes{2, 0x80}));
  EXPECT_EQ(Written([](TWriter& W) { W.WriteInteger(128); }), (TBytes{3, 0x80, 0x00}));
  EXPECT_EQ(Written([](TWriter& W) { W.WriteInteger(-129); }), (TBytes{3, 0x7F, 0xFF}));
  EXPECT_EQ(Written([](TWriter& W) { W.WriteInteger(32767); }), (TBytes{3, 0xFF, 0x7F}));
  EXPECT_EQ(Written([](TWriter& W) { W.WriteInteger(40000); }), (TBytes{4, 0x40, 0x9C, 0x00, 0x00}));
  EXPECT_EQ(Written([](TWriter& W) { W.WriteInteger(-32769); }), (TBytes{4, 0xFF, 0x7F, 0xFF, 0xFF}));
}

TEST(Writer, StringsBooleansDatesAndListEnds) {
  EXPECT_EQ(Written([](TWriter& W) { W.WriteString(""); }), (TBytes{6, 0}));
  TBytes Long = Written([](TWriter& W) { W.WriteString(std::string(256, 'a')); });
  ASSERT_EQ(Long.size(), 5u + 256u);
  EXPECT_EQ(TBytes(Long.begin(), Long.begin() + 5), (TBytes{12, 0x00, 0x01, 0, 0}));
  TBytes Short = Written([](TWriter& W) { W.WriteString(std::string(255, 'a')); });
  EXPECT_EQ(Short[0], 6);
  EXPECT_EQ(Short[1], 255);
  // Any character outside ASCII makes the string UTF-8, however short.
  EXPECT_EQ(Written([](TWriter& W) { W.WriteString("\xC3\xA9"); }), (TBytes{20, 2, 0, 0, 0, 0xC3, 0xA9}));
  EXPECT_EQ(Written([](TWriter& W) { W.WriteBoolean(true); W.WriteBoolean(false); W.WriteListEnd(); }),
            (TBytes{9, 8, 0}));
  TBytes Date = Written([](TWriter& W) { W.WriteDate(1.5); });
  ASSERT_EQ(Date.size(), 9u);
  EXPECT_EQ(Date[0], 17);
  double D;
  std::memcpy(&D, Date.data() + 1, 8);
  EXPECT_EQ(D, 1.5);
}

TEST(Writer, ValuesLongerThanTheBufferArriveWhole) {
  const std::string Big(10000, 'x');
  TBytes B = Written([&](TWriter& W) {
    for (int i = 0; i < 3000; ++i) W.WriteInteger(i);
    W.WriteString(Big);
  });
  TMemoryStream S(B);
  TReader R(S);
  for (int i = 0; i < 3000; ++i) ASSERT_EQ(R.ReadInteger(), i);
  EXPECT_EQ(R.ReadString(), Big);
  EXPECT_EQ(R.Remaining(), 0u);
}

TEST(Reader, IntegersAreSignExtended) {
  TMemoryStream S(TBytes{2, 0xFF, 3, 0x00, 0x80, 4, 0xFF, 0xFF, 0xFF, 0x7F});
  TReader R(S);
  EXPECT_EQ(R.ReadInteger(), -1);
  EXPECT_EQ(R.ReadInteger(), -32768);
  EXPECT_EQ(R.ReadInteger(), 0x7FFFFFFF);
}

TEST(Reader, WrongTagsAndShortDataAreReadErrors) {
  auto Fails = [](TBytes B, auto Read) {
    TMemoryStream S(B);
    TReader R(S);
    EXPECT_THROW(Read(R), EReadError);
  };
  Fails({6, 0}, [](TReader& R) { R.ReadInteger(); });
  Fails({19, 1, 0, 0, 0, 0, 0, 0, 0}, [](TReader& R) { R.ReadInteger(); });
  Fails({2, 5}, [](TReader& R) { R.ReadString(); });
  Fails({}, [](TReader& R) { R.ReadString(); });
  Fails({}, [](TReader& R) { R.EndOfList(); });
  Fails({3, 0x01}, [](TReader& R) { R.ReadInteger(); });
  Fails({6, 5, 'a', 'b'}, [](TReader& R) { R.ReadString(); });
  Fails({1}, [](TReader& R) { R.ReadListEnd(); });
  Fails({8}, [](TReader& R) { R.ReadDate(); });
}

TEST(Reader, HugeLengthsFailBeforeAnythingIsAllocated) {
  for (std::uint8_t Tag : {12, 18, 20}) {
    TMemoryStream S(TBytes{Tag, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b'});
    TReader R(S);
    EXPECT_THROW(R.ReadString(), EReadError) << int(Tag);
  }
  // 0x80000000 UTF-16 units would overflow a 32-bit byte count.
  TMemoryStream S(TBytes{18, 0x00, 0x00, 0x00, 0x80, 'a', 0});
  TReader R(S);
  EXPECT_THROW(R.ReadString(), EReadError);
}

TEST(Reader, StringsInEveryEncoding) {
  // Tag 6 and 12 as Windows-1252: 0x80 is the euro sign, 0xE9 e-acute.
  TMemoryStream S(TBytes{6, 3, 'a', 0x80, 0xE9, 12, 1, 0, 0, 0, 0x9F,
                         // UTF-16: "A", a surrogate pair (U+1F600), an unpaired high surrogate.
                         18, 4, 0, 0, 0, 'A', 0, 0x3D, 0xD8, 0x00, 0xDE, 0x00, 0xD8,
                         // UTF-8 with a stray continuation byte.
                         20, 3, 0, 0, 0, 'o', 0x80, 'k'});
  TReader R(S);
  EXPECT_EQ(R.ReadString(), "a\xE2\x82\xAC\xC3\xA9");
  EXPECT_EQ(R.ReadString(), "\xC5\xB8");
  EXPECT_EQ(R.ReadString(), "A\xF0\x9F\x98\x80\xEF\xBF\xBD");
  EXPECT_EQ(R.ReadString(), "o\xEF\xBF\xBDk");
}

TEST(Reader, BooleansNeverFail) {
  TMemoryStream S(TBytes{9, 8, 2, 77, 9});
  TReader R(S);
  EXPECT_TRUE(R.ReadBoolean());
  EXPECT_FALSE(R.ReadBoolean());
  EXPECT_FALSE(R.ReadBoolean());  // tag 2 read as a boolean: false, one byte
  EXPECT_FALSE(R.ReadBoolean());
  EXPECT_TRUE(R.ReadBoolean());
}

TEST(Reader, DatesAcceptIntegersOfEveryWidth) {
  TBytes B{2, 5, 3, 0x10, 0x27, 19, 1, 0, 0, 0, 1, 0, 0, 0};
  TBytes D = Written([](TWriter& W) { W.WriteDate(45000.25); });
  B.insert(B.end(), D.begin(), D.end());
  TMemoryStream S(B);
  TReader R(S);
  EXPECT_EQ(R.ReadDate(), 5.0);
  EXPECT_EQ(R.ReadDate(), 10000.0);
  EXPECT_EQ(R.ReadDate(), 4294967297.0);
  EXPECT_EQ(R.ReadDate(), 45000.25);
}

TEST(Reader, ListEndsAndGivingBackTheBuffer) {
  TMemoryStream S(TBytes{0, 2, 1, 0xAA, 0xBB, 2, 7});
  TReader R(S);
  EXPECT_TRUE(R.EndOfList());
  EXPECT_TRUE(R.EndOfList());  // looks, does not consume
  R.ReadListEnd();
  EXPECT_FALSE(R.EndOfList());
  EXPECT_EQ(R.ReadInteger(), 1);
  // The reader has read ahead; after FixupBuffer the stream stands at the raw bytes.
  R.FixupBuffer();
  EXPECT_EQ(S.Position(), 3u);
  std::uint8_t Raw[2];
  S.ReadBuffer(Raw, 2);
  EXPECT_EQ(Raw[0], 0xAA);
  EXPECT_EQ(R.ReadInteger(), 7);
}
