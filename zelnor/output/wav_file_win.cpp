#include "zelnor/output/wav_file_win.h"

#include "common/whole_file_win.h"
#include "zelnor.h"
#include "zelnor/output/file_sink_win.h"
#include "zelnor/output/wav_writer.h"

namespace zelnor {

int WriteWaveFile(const wchar_t* path, DtmfSequence& sequence) {
  RequireWaveSize(sequence);
  const auto fill = [](HANDLE file, void* written) {
    return FillThrough(
        file, [written](ByteSink& sink) { WriteWave(*static_cast<DtmfSequence*>(written), sink); });
  };
  return WriteWholeFile(path, fill, &sequence) ? ZELNOR_OK : ZELNOR_E_FILE;
}

}  // namespace zelnor
