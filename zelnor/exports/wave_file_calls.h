#pragma once
// The calls on WAV files named by a path, once for every system: `Files`
// is the system's SystemFiles (caller_streams_win.h,
// caller_streams_posix.h), giving the path type, the file opened to read,
// its source and sink and the whole-file writer.

#include "zelnor.h"
#include "zelnor/exports/caller_streams.h"
#include "zelnor/exports/masker_options.h"
#include "zelnor/exports/recording_calls.h"
#include "zelnor/exports/system_error.h"
#include "zelnor/input/dial_sequence.h"
#include "zelnor/output/wav_writer.h"

namespace zelnor {

// Runs `write(sink)` into `file`: false, with the system's reason set, when
// a write failed.
template <typename Files, typename WriteTo>
bool FillThrough(typename Files::File file, WriteTo&& write) {
  typename Files::Sink sink(file);
  try {
    write(sink);
  } catch (const WriteFailure& failure) {
    SetLastSystemError(failure.error);
    return false;
  }
  return true;
}

// The dial's WAV file, written whole or not at all: ZELNOR_OK, or
// ZELNOR_E_FILE with the system's reason set and `path` untouched. A dial
// too long for a WAV file is refused before anything is created.
template <typename Files>
int WriteDialWave(typename Files::Path path, const char* dial, const ZelnorOptions* options) {
  if (path == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
  DtmfSequence sequence = SequenceForDial(dial, options);
  RequireWaveSize(sequence);
  const auto fill = [](typename Files::File file, void* written) {
    return FillThrough<Files>(
        file, [written](ByteSink& sink) { WriteWave(*static_cast<DtmfSequence*>(written), sink); });
  };
  return Files::WriteWhole(path, fill, &sequence) ? ZELNOR_OK : ZELNOR_E_FILE;
}

template <typename Files>
int DecodeWaveFile(typename Files::Path path, const ZelnorReceiverOptions* options,
                   ZelnorWaveInfo* info) {
  if (path == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
  return DecodeRecording(options, info, [&](ZelnorWaveInfo& filled, auto&& decode) {
    const auto file = Files::OpenToRead(path);
    if (!file) return Unreadable(filled, LastSystemError());
    typename Files::Source source(file.get());
    decode(source);
    return ZELNOR_OK;
  });
}

// One file masked into another: the source is closed once read, so the
// masked copy may take its place.
template <typename Files>
struct FileMasking {
  decltype(Files::OpenToRead(nullptr)) source;
  const ZelnorMaskerOptions* options;
  WaveSummary summary;

  static bool Fill(typename Files::File file, void* context) {
    auto& masking = *static_cast<FileMasking*>(context);
    return FillThrough<Files>(file, [&masking](ByteSink& sink) {
      typename Files::Source reader(masking.source.get());
      masking.summary = MaskRecording(reader, sink, masking.options);
      masking.source.reset();
    });
  }
};

template <typename Files>
int MaskWaveFile(typename Files::Path source, typename Files::Path target,
                 const ZelnorMaskerOptions* options, ZelnorWaveInfo* info) {
  if (source == nullptr || target == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
  ToMaskerSettings(options, false);  // bad options before any file is opened
  return WaveCall(info, [&](ZelnorWaveInfo& filled, WaveSummary& summary) {
    FileMasking<Files> masking{Files::OpenToRead(source), options, {}};
    if (!masking.source) return Unreadable(filled, LastSystemError());
    const bool written = Files::WriteWhole(target, &FileMasking<Files>::Fill, &masking);
    summary = masking.summary;
    return written ? ZELNOR_OK : ZELNOR_E_FILE;
  });
}

}  // namespace zelnor
