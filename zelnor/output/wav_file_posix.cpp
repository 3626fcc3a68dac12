#include "zelnor/output/wav_file_posix.h"

#include "common/whole_file_posix.h"
#include "zelnor.h"
#include "zelnor/output/file_sink_posix.h"
#include "zelnor/output/wav_writer.h"

namespace zelnor {

int WriteWaveFile(const char* path, DtmfSequence& sequence) {
  RequireWaveSize(sequence);
  const auto fill = [](int fd, void* written) {
    return FillThrough(
        fd, [written](ByteSink& sink) { WriteWave(*static_cast<DtmfSequence*>(written), sink); });
  };
  return WriteWholeFile(path, fill, &sequence) ? ZELNOR_OK : ZELNOR_E_FILE;
}

}  // namespace zelnor
