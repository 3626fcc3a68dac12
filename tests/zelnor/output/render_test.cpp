#include "zelnor/output/render.h"

#include <gtest/gtest.h>

#include <vector>

#include "signal_analysis.h"
#include "zelnor.h"
#include "zelnor/signal/symbol_reader.h"

namespace {

const zelnor::SequenceOptions kOptions{60, 45, 16000};

TEST(RenderSequence, ASizeQueryThenABufferOfThatSizeGivesTheWholeSequence) {
  const std::vector<int16_t> expected = zelnor_test::Render("1#5", kOptions);
  zelnor::DtmfSequence query(zelnor::ReadDial(L"1#5"), kOptions);
  uint64_t count = 0;
  ASSERT_EQ(zelnor::RenderSequence(query, nullptr, count), ZELNOR_OK);
  ASSERT_EQ(count, expected.size());

  zelnor::DtmfSequence sequence(zelnor::ReadDial(L"1#5"), kOptions);
  std::vector<int16_t> samples(count + 1, 7);
  ASSERT_EQ(zelnor::RenderSequence(sequence, samples.data(), count), ZELNOR_OK);
  EXPECT_EQ(count, expected.size());
  EXPECT_EQ(samples.back(), 7) << "wrote past the sequence";
  samples.pop_back();
  EXPECT_EQ(samples, expected);
}

TEST(RenderSequence, TooSmallABufferIsLeftAloneAndTheNeededSizeReported) {
  zelnor::DtmfSequence sequence(zelnor::ReadDial(L"1#5"), kOptions);
  const uint64_t needed = sequence.TotalSamples();
  std::vector<int16_t> samples(needed - 1, 7);
  uint64_t count = samples.size();
  EXPECT_EQ(zelnor::RenderSequence(sequence, samples.data(), count), ZELNOR_E_BUFFER_TOO_SMALL);
  EXPECT_EQ(count, needed);
  EXPECT_EQ(samples, std::vector<int16_t>(needed - 1, 7));
}

}  // namespace
