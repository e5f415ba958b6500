#include <gtest/gtest.h>

#include "PackageWriter.h"
#include "TestUtil.h"
#include "package/Lzma86.h"

using namespace testutil;

namespace {

std::vector<uint8_t> Encoded(const std::vector<uint8_t>& plain) {
  std::vector<uint8_t> packed;
  std::string why;
  EXPECT_TRUE(EncodeLzma86(plain.data(), plain.size(), &packed, &why)) << why;
  return packed;
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

TEST(Lzma86, EncoderWritesThePackageHeader) {
  std::vector<uint8_t> plain = X86Like(200000, 5);
  std::vector<uint8_t> packed = Encoded(plain);
  ASSERT_GT(packed.size(), 14u);
  EXPECT_EQ(1, packed[0]) << "x86 code should be filtered";
  EXPECT_EQ(0x5D, packed[1]);
  EXPECT_EQ(8388608u, Le32(packed, 2));
  EXPECT_EQ(plain.size(), Le32(packed, 6));
  EXPECT_EQ(0u, Le32(packed, 10));
  uint64_t size = 0;
  EXPECT_EQ(LZMA86_OK, Lzma86UnpackedSize(packed.data(), packed.size(), &size));
  EXPECT_EQ(plain.size(), size);

  std::vector<uint8_t> text = Bytes(std::string(5000, 'a') + "no calls in here");
  EXPECT_EQ(0, Encoded(text)[0]) << "text gains nothing from the filter";
}

TEST(Lzma86, RoundTripsWithAndWithoutFilter) {
  for (const std::vector<uint8_t>& plain :
       {X86Like(300000, 1), Noise(70000, 2), Bytes("x"), Bytes(std::string(100000, '\xE8'))}) {
    std::vector<uint8_t> packed = Encoded(plain);
    std::vector<uint8_t> out;
    ASSERT_EQ(LZMA86_OK, Lzma86DecodeBuffer(packed.data(), packed.size(), &out));
    EXPECT_EQ(plain, out);
  }
}

TEST(Lzma86, ErrorCodes) {
  std::vector<uint8_t> good = Encoded(X86Like(50000, 3));
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
    int code;
  };
  std::vector<Case> cases;
  cases.push_back({"13 bytes", std::vector<uint8_t>(good.begin(), good.begin() + 13), LZMA86_NO_SIZE});
  cases.push_back({"empty", {}, LZMA86_NO_SIZE});
  std::vector<uint8_t> d = good;
  d[13] = 1;  // upper size bytes set
  cases.push_back({"upper size bytes", d, LZMA86_NO_SIZE});
  d = good;
  for (int i = 6; i < 14; ++i) d[i] = 0;
  cases.push_back({"size zero", d, LZMA86_NO_SIZE});
  d = good;
  d[0] = 2;
  cases.push_back({"filter byte 2", d, LZMA86_BAD_DATA});
  d = good;
  d[0] = 0xFF;
  cases.push_back({"filter byte 255", d, LZMA86_BAD_DATA});
  d = good;
  d[1] = 225;
  cases.push_back({"properties 225", d, LZMA86_BAD_DATA});
  d.assign(good.begin(), good.begin() + good.size() / 2);
  cases.push_back({"truncated stream", d, LZMA86_BAD_DATA});
  d.assign(good.begin(), good.begin() + 14);
  cases.push_back({"header only", d, LZMA86_BAD_DATA});
  d = good;
  d[6] = static_cast<uint8_t>(d[6] + 1);  // claims one byte more than the stream has
  cases.push_back({"size larger than stream", d, LZMA86_BAD_DATA});
  for (const Case& c : cases) {
    std::vector<uint8_t> out(3, 9);
    EXPECT_EQ(c.code, Lzma86DecodeBuffer(c.data.data(), c.data.size(), &out)) << c.what;
    EXPECT_TRUE(out.empty()) << c.what;
  }
  uint64_t size = 1;
  EXPECT_EQ(LZMA86_NO_SIZE, Lzma86UnpackedSize(good.data(), 13, &size));
  EXPECT_EQ(0u, size);
}

TEST(Lzma86, CorruptStreamGives2) {
  // Damage in the middle of a stream of incompressible data: the decoder
  // either reports a data error or runs out of input.
  std::vector<uint8_t> good = Encoded(Noise(40000, 8));
  int failures = 0;
  for (size_t at = 20; at < good.size(); at += good.size() / 17) {
    std::vector<uint8_t> bad = good, out;
    for (size_t i = at; i < std::min(at + 64, bad.size()); ++i) bad[i] = 0xFF;
    int code = Lzma86DecodeBuffer(bad.data(), bad.size(), &out);
    EXPECT_TRUE(code == LZMA86_BAD_DATA || (code == LZMA86_OK && out.size() == 40000u)) << at;
    failures += code == LZMA86_BAD_DATA;
  }
  EXPECT_GT(failures, 0);
}

}  // namespace
