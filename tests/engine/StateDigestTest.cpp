#include "engine/StateDigest.h"

#include <gtest/gtest.h>

namespace quarn {
namespace {

TEST(StateDigestTest, MatchesTheFnv1aReferenceValues) {
  StateDigest empty;
  EXPECT_EQ(empty.Value(), 0xcbf29ce484222325ull);
  EXPECT_EQ(empty.Hex(), "cbf29ce484222325");
  StateDigest a;
  a.AddBytes("a", 1);
  EXPECT_EQ(a.Value(), 0xaf63dc4c8601ec8cull);
  StateDigest foobar;
  foobar.AddBytes("foobar", 6);
  EXPECT_EQ(foobar.Value(), 0x85944171f73967e8ull);
}

TEST(StateDigestTest, IntegersGoInAsEightLittleEndianBytes) {
  StateDigest viaInt;
  viaInt.AddInt(0x0102030405060708);
  StateDigest viaBytes;
  const unsigned char bytes[8] = {8, 7, 6, 5, 4, 3, 2, 1};
  viaBytes.AddBytes(bytes, 8);
  EXPECT_EQ(viaInt.Value(), viaBytes.Value());
  StateDigest swapped;
  swapped.AddInt(2);
  swapped.AddInt(1);
  StateDigest inOrder;
  inOrder.AddInt(1);
  inOrder.AddInt(2);
  EXPECT_NE(swapped.Value(), inOrder.Value()) << "order matters";
}

TEST(StateDigestTest, FloatsGoInByTheirBits) {
  StateDigest plus;
  plus.AddFloat(0.0f);
  StateDigest minus;
  minus.AddFloat(-0.0f);
  EXPECT_NE(plus.Value(), minus.Value());
  EXPECT_EQ(plus.Hex().size(), 16u);
}

}  // namespace
}  // namespace quarn
