// libzelnor.so as another program uses it, through zelnor.h alone: what is
// rendered is heard again at every rate, from memory and from a WAV file;
// a file masked into itself; a failed write leaving the old file and no
// temporary; errno saying why.

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "zelnor.h"

namespace {

constexpr const char* kDial = "0123456789ABCD*#";

void KeepDigit(void* symbols, const ZelnorDigit* digit) {
  *static_cast<std::string*>(symbols) += digit->symbol;
}

void KeepSpan(void* spans, const ZelnorMaskedSpan* span) {
  static_cast<std::vector<ZelnorMaskedSpan>*>(spans)->push_back(*span);
}

ZelnorOptions OptionsAt(uint32_t rate) {
  ZelnorOptions options = ZELNOR_OPTIONS_FOR_INTERVAL(60);
  options.sample_rate = rate;
  return options;
}

std::vector<int16_t> Render(const char* dial, uint32_t rate) {
  const ZelnorOptions options = OptionsAt(rate);
  uint64_t count = 0;
  EXPECT_EQ(RenderDTMF(dial, &options, nullptr, &count), ZELNOR_OK);
  std::vector<int16_t> samples(count);
  EXPECT_EQ(RenderDTMF(dial, &options, samples.data(), &count), ZELNOR_OK);
  return samples;
}

std::string Heard(const std::vector<int16_t>& samples, uint32_t rate) {
  std::string symbols;
  const ZelnorReceiverOptions options = ZELNOR_RECEIVER_OPTIONS(rate, &KeepDigit, &symbols);
  ZelnorReceiver* receiver = nullptr;
  EXPECT_EQ(CreateDTMFReceiver(&options, &receiver), ZELNOR_OK);
  EXPECT_EQ(FeedDTMFReceiver(receiver, samples.data(), samples.size()), ZELNOR_OK);
  EXPECT_EQ(FlushDTMFReceiver(receiver), ZELNOR_OK);
  DestroyDTMFReceiver(receiver);
  return symbols;
}

std::string HeardIn(const std::string& path, ZelnorWaveInfo& info) {
  std::string symbols;
  const ZelnorReceiverOptions options = ZELNOR_RECEIVER_OPTIONS(8000, &KeepDigit, &symbols);
  info = ZelnorWaveInfo{};
  info.cbSize = sizeof info;
  EXPECT_EQ(DecodeDTMFWaveA(path.c_str(), &options, &info), ZELNOR_OK) << info.message;
  return symbols;
}

std::string Contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// A fresh folder per test, removed with what the test left in it.
class Folder {
 public:
  Folder() {
    char name[] = "/tmp/zelnor-test-XXXXXX";
    path_ = ::mkdtemp(name);
  }
  ~Folder() {
    for (const std::string& name : Names()) ::remove((path_ + "/" + name).c_str());
    ::rmdir(path_.c_str());
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  [[nodiscard]] std::string File(const char* name) const { return path_ + "/" + name; }
  [[nodiscard]] std::vector<std::string> Names() const {
    std::vector<std::string> names;
    DIR* dir = ::opendir(path_.c_str());
    while (const dirent* entry = ::readdir(dir)) {
      if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return names;
  }

 private:
  std::string path_;
};

class EveryRate : public testing::TestWithParam<uint32_t> {};

TEST_P(EveryRate, WhatIsRenderedIsHeardFromMemoryAndFromItsWaveFile) {
  const uint32_t rate = GetParam();
  EXPECT_EQ(Heard(Render(kDial, rate), rate), kDial);

  const Folder folder;
  const std::string path = folder.File("tones.wav");
  const ZelnorOptions options = OptionsAt(rate);
  ASSERT_EQ(WriteDTMFWaveA(path.c_str(), kDial, &options), ZELNOR_OK);
  ZelnorWaveInfo info;
  EXPECT_EQ(HeardIn(path, info), kDial);
  EXPECT_EQ(info.sample_rate, rate);
  EXPECT_EQ(info.frames, Render(kDial, rate).size());
}

INSTANTIATE_TEST_SUITE_P(Rates, EveryRate, testing::Values(ZELNOR_SAMPLE_RATES));

TEST(Library, ReadsTheDialAsUtf8) {
  const struct {
    const char* dial;
    const char* heard;
  } cases[] = {
      {"\xEF\xBC\x91\xEF\xBC\x83", "1#"},  // full-width １＃
      {"\xC0\xB1"
       "2",
       "2"},  // an overlong '1' dials nothing
      {"\xE0"
       "3",
       "3"},  // a cut-off sequence skips only itself
  };
  for (const auto& c : cases) EXPECT_EQ(Heard(Render(c.dial, 8000), 8000), c.heard) << c.heard;
}

TEST(Library, MasksAFileIntoItselfOnceTheCopyIsWhole) {
  const Folder folder;
  const std::string path = folder.File("call.wav");
  const ZelnorOptions options = OptionsAt(8000);
  ASSERT_EQ(WriteDTMFWaveA(path.c_str(), "12#", &options), ZELNOR_OK);
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);

  std::vector<ZelnorMaskedSpan> spans;
  ZelnorMaskerOptions masking = ZELNOR_MASKER_OPTIONS(8000);
  masking.span = &KeepSpan;
  masking.span_context = &spans;
  ZelnorWaveInfo info{};
  info.cbSize = sizeof info;
  ASSERT_EQ(MaskDTMFWaveA(path.c_str(), path.c_str(), &masking, &info), ZELNOR_OK);

  EXPECT_EQ(spans.size(), 3u);
  EXPECT_EQ(HeardIn(path, info), "");
  EXPECT_EQ(info.frames, Render("12#", 8000).size());
  struct stat written {};
  ASSERT_EQ(::stat(path.c_str(), &written), 0);
  EXPECT_EQ(written.st_mode & 07777, 0640u);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"call.wav"});
}

TEST(Library, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  const Folder folder;
  const std::string path = folder.File("tones.wav");
  const ZelnorOptions options = OptionsAt(8000);
  ASSERT_EQ(WriteDTMFWaveA(path.c_str(), "1", &options), ZELNOR_OK);
  const std::string old = Contents(path);

  // A file-size limit makes the writes fail midway (EFBIG), root or not.
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 16384;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  errno = 0;
  const int result = WriteDTMFWaveA(path.c_str(), "123456789", &options);
  const int error = errno;
  ::setrlimit(RLIMIT_FSIZE, &saved);

  EXPECT_EQ(result, ZELNOR_E_FILE);
  EXPECT_EQ(error, EFBIG);
  EXPECT_EQ(Contents(path), old);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"tones.wav"});
}

TEST(Library, ErrnoSaysWhyAFileFailed) {
  const Folder folder;
  const ZelnorOptions options = OptionsAt(8000);
  errno = 0;
  EXPECT_EQ(WriteDTMFWaveA(folder.File("").c_str(), "1", &options), ZELNOR_E_FILE);
  EXPECT_EQ(errno, EISDIR);
  EXPECT_EQ(WriteDTMFWaveA(folder.File("no/such.wav").c_str(), "1", &options), ZELNOR_E_FILE);
  EXPECT_EQ(errno, ENOENT);

  std::string symbols;
  const ZelnorReceiverOptions receiving = ZELNOR_RECEIVER_OPTIONS(8000, &KeepDigit, &symbols);
  ZelnorWaveInfo info{};
  info.cbSize = sizeof info;
  errno = 0;
  EXPECT_EQ(DecodeDTMFWaveA(folder.File("none.wav").c_str(), &receiving, &info), ZELNOR_E_FILE);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(info.problem, static_cast<uint32_t>(ZELNOR_WAVE_UNREADABLE));
  EXPECT_EQ(info.value, static_cast<uint32_t>(ENOENT));
  EXPECT_TRUE(folder.Names().empty());
}

}  // namespace
