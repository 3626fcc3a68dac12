#include "zelnor/output/wav_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "signal_analysis.h"
#include "zelnor.h"
#include "zelnor/signal/symbol_reader.h"
#include "zelnor/zelnor_error.h"

namespace {

// Keeps what it is given, and fails its `fail_at`th write.
struct MemorySink final : zelnor::ByteSink {
  explicit MemorySink(int refuse_at = 0) : fail_at(refuse_at) {}
  void Write(const uint8_t* bytes, size_t count) override {
    if (++writes == fail_at) throw zelnor::ZelnorError(ZELNOR_E_FILE, "full");
    if (writes == 1) first_write = count;
    file.insert(file.end(), bytes, bytes + count);
  }
  int fail_at;
  int writes = 0;
  size_t first_write = 0;
  std::vector<uint8_t> file;
};

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  return std::vector<uint8_t>(values.begin(), values.end());
}

TEST(WaveHeader, DescribesSixteenBitMonoPcmInLittleEndianOrder) {
  const auto header = WaveHeader(44100, 3);
  const std::vector<uint8_t> expected = Bytes(
      {'R',  'I',  'F', 'F', 42,   0,    0,    0, 'W', 'A', 'V', 'E',  // 36 + 6 data bytes
       'f',  'm',  't', ' ', 16,   0,    0,    0, 1,   0,   1,   0,    // PCM, mono
       0x44, 0xAC, 0,   0,   0x88, 0x58, 0x01, 0, 2,   0,   16,  0,  // 44100 Hz, 88200 B/s, 16-bit
       'd',  'a',  't', 'a', 6,    0,    0,    0});
  EXPECT_EQ(std::vector<uint8_t>(header.begin(), header.end()), expected);
}

TEST(WriteWave, WritesTheHeaderWithTheFirstSamplesThenEverySampleLowByteFirst) {
  // Lead-in, pause and tail count in the header like the tones.
  zelnor::SequenceOptions options{40, 50, 8000};
  options.pause_ms = 45, options.lead_in_ms = 3, options.tail_ms = 7;
  const std::vector<int16_t> samples = zelnor_test::Render("9,D", options);
  zelnor::DtmfSequence sequence(zelnor::ReadDial(L"9,D"), options);
  MemorySink sink;
  zelnor::WriteWave(sequence, sink);
  const std::vector<uint8_t>& file = sink.file;
  const auto header = WaveHeader(8000, static_cast<uint32_t>(samples.size()));
  ASSERT_EQ(file.size(), header.size() + 2 * samples.size());
  EXPECT_EQ(sink.first_write, file.size());  // a pipe's reader sniffs samples with the header
  EXPECT_TRUE(std::equal(header.begin(), header.end(), file.begin()));
  for (size_t i = 0; i < samples.size(); ++i) {
    const auto read = static_cast<int16_t>(file[44 + 2 * i] | file[45 + 2 * i] << 8);
    ASSERT_EQ(read, samples[i]) << "sample " << i;
  }
}

TEST(WriteWave, StopsAtTheFirstFailedWrite) {
  zelnor::DtmfSequence sequence(zelnor::ReadDial(L"123456"), {1000, 1000, 48000});
  MemorySink sink(3);
  EXPECT_THROW(zelnor::WriteWave(sequence, sink), zelnor::ZelnorError);
  EXPECT_EQ(sink.writes, 3);
}

TEST(WriteWave, RefusesASequenceTooLongForAWaveFileBeforeWritingAnything) {
  // 2300 symbols of 20 s at 48 kHz: more samples than a RIFF size can count.
  zelnor::DtmfSequence sequence(zelnor::ReadDial(std::wstring(2300, L'1')), {10000, 10000, 48000});
  MemorySink sink;
  EXPECT_THROW(zelnor::WriteWave(sequence, sink), zelnor::ZelnorError);
  EXPECT_EQ(sink.writes, 0);
}

}  // namespace
