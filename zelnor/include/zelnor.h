#ifndef ZELNOR_ZELNOR_H
#define ZELNOR_ZELNOR_H
/*
 * zelnor.dll - plays a string of DTMF symbols through the default waveOut
 * device.
 *
 *   int __stdcall PlayDTMF(const char* dial, int32_t interval_ms, int32_t async);
 *
 * dial        NUL-terminated text in the system ANSI code page. 0-9, A-D, a-d,
 *             * and # dial, and so do their full-width forms (in code page
 *             932: ０-９, Ａ-Ｄ, ａ-ｄ, ＊, ＃). A ',' (or '，') is a pause of
 *             2 s after the previous symbol's silence; pauses add up. Every
 *             other character, single- or double-byte, is skipped with no
 *             tone and no pause; the trail byte of a double-byte character
 *             is never read as a symbol. Where the code page is UTF-8
 *             (65001), a malformed sequence skips only its own bytes:
 *             "\xE0" "123" dials 123.
 * interval_ms Length of each tone and of the silence after it. Values below
 *             40 (0 and negatives included) play as 40, above 10000 as 10000.
 * async       0: return once the device's position (waveOutGetPosition)
 *             has reached the last sample, waiting at most 0.5 s past the
 *             moment it handed back the last block (a device whose
 *             position runs ahead of its sound ends the call that much
 *             early); with
 *             ZELNOR_E_STOPPED if a later call stopped it first; with
 *             ZELNOR_E_NO_DEVICE if there is no output device; or with
 *             ZELNOR_E_DEVICE at most 3 s past the dial's length if the
 *             device stops taking samples.
 *             otherwise: copy the symbols and return at once, never waiting
 *             for the device and never calling it: the library's player
 *             thread counts the devices as each playback begins.
 *             ZELNOR_E_NO_DEVICE is returned if that count, taken within the
 *             last 5 s, found none; so after a device goes away the first
 *             asynchronous call returns ZELNOR_OK and plays nothing, and
 *             the calls after it (or any synchronous call) see the error.
 *
 * The library plays on one thread of its own, started by the first call and
 * ended after 5 s idle. One stuck for 1 s inside an audio driver that never
 * returns is left there and a fresh one takes over, so the library has at
 * most two threads; with both stuck a call fails at once with
 * ZELNOR_E_DEVICE.
 *
 * A call stops any playback still going on (from any thread) before it
 * starts; a string with no symbols only stops it, and a synchronous stop
 * returns once the device has let go of the stopped sound (within 3 s, or
 * ZELNOR_E_DEVICE). A null pointer changes
 * nothing: it returns ZELNOR_E_INVALID_ARGUMENT and any playback goes on.
 * The tones are 16-bit mono PCM at 48 kHz, the high-group tone 2 dB above
 * the low-group one.
 *
 * Returns ZELNOR_OK or one of the error codes below; nothing is played after
 * an error.
 *
 * The calls further down take a ZelnorOptions for what these three
 * arguments cannot say (separate tone and gap lengths, sample rate, level,
 * output device), or render the same samples into memory or a WAV file
 * without any device. PlayDTMF(dial, n, async) is PlayDTMFEx with
 * ZELNOR_OPTIONS_FOR_INTERVAL(n clamped to 40..10000).
 */

#include <stdint.h>
#include <wchar.h>

#define ZELNOR_OK 0
#define ZELNOR_E_INVALID_ARGUMENT 1 /* a null pointer, a wrong cbSize or a field out of range */
#define ZELNOR_E_NO_DEVICE 2        /* no audio output device */
#define ZELNOR_E_DEVICE 3           /* the device failed to open, to play, or stalled */
#define ZELNOR_E_OUT_OF_MEMORY 4
#define ZELNOR_E_SYSTEM 5           /* a thread or an event could not be created */
#define ZELNOR_E_BUFFER_TOO_SMALL 6 /* RenderDTMF: *sample_count now holds the size needed */
#define ZELNOR_E_FILE 7             /* a file failed; GetLastError() (errno off Windows) says why */
#define ZELNOR_E_STOPPED 8          /* a synchronous call stopped by a later call before its end */
#define ZELNOR_E_BAD_WAVE                                                \
  9 /* a recording the decode calls cannot read; ZelnorWaveInfo says why \
     */

/* Tone and gap lengths, and the pause a ',' in the dial stands for. */
#define ZELNOR_MIN_INTERVAL_MS 40
#define ZELNOR_MAX_INTERVAL_MS 10000
/* Silence before the first tone (lead-in) and after the last (tail). */
#define ZELNOR_MIN_SILENCE_MS 0
#define ZELNOR_MAX_SILENCE_MS 10000
#define ZELNOR_DEFAULT_PAUSE_MS 2000

#define ZELNOR_MIN_LEVEL_DB10 (-600) /* -60 dBFS */
#define ZELNOR_MAX_LEVEL_DB10 0
#define ZELNOR_DEFAULT_LEVEL_DB10 (-15) /* PlayDTMF's level: -1.5 dBFS */
/* High group over low group (ITU-T Q.24 receivers accept -8 to +4 dB). */
#define ZELNOR_MIN_TWIST_DB10 (-80)
#define ZELNOR_MAX_TWIST_DB10 40
#define ZELNOR_DEFAULT_TWIST_DB10 20
/* The sample rates the calls take, as an initializer list: {ZELNOR_SAMPLE_RATES}. */
#define ZELNOR_SAMPLE_RATES 8000, 16000, 44100, 48000
#define ZELNOR_DEFAULT_SAMPLE_RATE 48000
#define ZELNOR_DEFAULT_DEVICE 0xFFFFFFFFu /* WAVE_MAPPER: the system's choice */

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define ZELNOR_CALL __stdcall
#else
#define ZELNOR_CALL
#endif

/* What the library exports: zelnor.def names it on Windows; elsewhere the
 * library is built with hidden visibility and these names alone are seen. */
#if !defined(_WIN32) && defined(__GNUC__)
#define ZELNOR_API __attribute__((visibility("default")))
#else
#define ZELNOR_API
#endif

/*
 * Off Windows (libzelnor.so): paths are UTF-8 and only the A forms of the
 * calls that take one exist, taking it as the system does; the dial is
 * read as UTF-8 too (full-width forms included, a malformed sequence
 * skipping only its own bytes). Wherever this header says GetLastError()
 * or "the system's error", read errno: ZELNOR_E_FILE leaves it set to the
 * system's reason, and ZelnorWaveInfo.value holds it for
 * ZELNOR_WAVE_UNREADABLE. A file is written as a temporary beside it
 * ("~zl<hex>.tmp", created exclusively), synced and renamed over `path`;
 * an existing file keeps its permissions, and one we may not write, or a
 * folder, is refused (EACCES, EISDIR).
 *
 * Playing goes to a PulseAudio server (PipeWire's answers too), found as
 * any client finds it (PULSE_SERVER, else the session's): where this
 * header says waveOut, read its sinks. ZELNOR_DEFAULT_DEVICE is the
 * server's default sink; a device id counts its sinks in the server's
 * order (as `pactl list short sinks` lists them). libpulse is loaded when
 * a playback begins: without it, or with no server answering, playing
 * returns ZELNOR_E_NO_DEVICE. Once a player thread has started, the
 * library stays loaded (dlclose leaves it) for the rest of the process.
 */

/*
 * Where a playback has got to, for PlayDTMFEx's progress callback.
 *
 * symbol_index  The symbol that has just begun to sound, from 0; equal to
 *               symbol_count once, at the end.
 * symbol_count  Symbols in the whole dial (pauses not counted).
 * dial_offset   Byte offset of that symbol in the caller's dial string; its
 *               length (strlen) at the end.
 * symbol        The symbol ('0'-'9', 'A'-'D', '*', '#'); 0 at the end.
 */
typedef struct ZelnorProgress {
  uint64_t symbol_index;
  uint64_t symbol_count;
  uint64_t dial_offset;
  char symbol;
} ZelnorProgress;

/*
 * Called only by a synchronous PlayDTMFEx (async 0), on the calling thread
 * while the call waits: as each symbol starts to sound (within one block,
 * 20 ms, of the device taking its first samples), and once more, with
 * symbol 0, after a playback that ended whole (not stopped, not failed).
 * The last call is made before PlayDTMFEx returns; once it has returned,
 * `progress_context` may be freed. Asynchronous calls never call it, and
 * neither does any thread of the library.
 *
 * The library feeds the device on its own thread, so a callback that is
 * slow or blocks delays no sample and changes no result: the symbols that
 * started meanwhile are reported, in order, when it returns, and only the
 * call's return waits for it. It may call the library; a PlayDTMF or
 * PlayDTMFEx made from it stops this playback, which then returns
 * ZELNOR_E_STOPPED. It must not let
 * an exception escape, as with any C callback: a 32-bit host's exception
 * cannot be caught inside the library. On x64 one is contained: the dial
 * plays on, its result stands, and the callback is not called again.
 */
typedef void(ZELNOR_CALL* ZelnorProgressFunction)(void* context, const ZelnorProgress* progress);

/*
 * What to play and how; every field must be set.
 *
 * cbSize       sizeof(ZelnorOptions), or ZELNOR_OPTIONS_V1_SIZE for the
 *              first six fields alone (the rest then take their defaults).
 *              Any other size is refused, so a newer caller's larger struct
 *              is never half read.
 * tone_ms      Length of each tone, 40 to 10000.
 * gap_ms       Silence after each tone, 40 to 10000.
 * sample_rate  One of ZELNOR_SAMPLE_RATES (Hz). The tones are 16-bit mono
 *              PCM at this rate.
 * level_db10   Peak level of both tones together in tenths of a dB relative
 *              to full scale, -600 to 0; -15 is -1.5 dBFS.
 * device       A waveOut device id (0 to waveOutGetNumDevs() - 1; a
 *              PulseAudio sink's off Windows), or ZELNOR_DEFAULT_DEVICE.
 *              Only playing uses it; an id with no device behind it gives
 *              ZELNOR_E_NO_DEVICE.
 * pause_ms     Silence each ',' (or full-width '，') in the dial stands for,
 *              40 to 10000 (default 2000). Commas add up.
 * twist_db10   High-group tone relative to the low-group one, in tenths of a
 *              dB, -80 to 40 (default 20).
 * lead_in_ms   Silence before the first tone, 0 to 10000 (default 0).
 * tail_ms      Silence after the last gap, 0 to 10000 (default 0).
 * progress     Optional (may be null): called as playback goes on, see
 *              ZelnorProgressFunction. A synchronous PlayDTMFEx only; the
 *              other calls ignore it.
 * progress_context  Handed to `progress` as it stands.
 *
 * For the calls below, a field out of range or a null pointer (other than
 * RenderDTMF's samples) gives ZELNOR_E_INVALID_ARGUMENT and nothing happens:
 * unlike PlayDTMF's interval, nothing is clamped. The first six fields have
 * the same layout for 32- and 64-bit callers; the struct's size differs
 * with the size of a pointer.
 */
typedef struct ZelnorOptions {
  uint32_t cbSize;
  int32_t tone_ms;
  int32_t gap_ms;
  uint32_t sample_rate;
  int32_t level_db10;
  uint32_t device;
  int32_t pause_ms;
  int32_t twist_db10;
  int32_t lead_in_ms;
  int32_t tail_ms;
  ZelnorProgressFunction progress;
  void* progress_context;
} ZelnorOptions;

/* The size of the first layout: cbSize to device. */
#define ZELNOR_OPTIONS_V1_SIZE 24

/* PlayDTMF's settings for an interval already within 40..10000. */
#define ZELNOR_OPTIONS_FOR_INTERVAL(interval_ms)                                     \
  {                                                                                  \
    sizeof(ZelnorOptions), (interval_ms), (interval_ms), ZELNOR_DEFAULT_SAMPLE_RATE, \
        ZELNOR_DEFAULT_LEVEL_DB10, ZELNOR_DEFAULT_DEVICE, ZELNOR_DEFAULT_PAUSE_MS,   \
        ZELNOR_DEFAULT_TWIST_DB10, 0, 0, 0, 0                                        \
  }

ZELNOR_API int ZELNOR_CALL PlayDTMF(const char* dial, int32_t interval_ms, int32_t async);

/* PlayDTMF with options: dial and async as for PlayDTMF. */
ZELNOR_API int ZELNOR_CALL PlayDTMFEx(const char* dial, const ZelnorOptions* options,
                                      int32_t async);

/*
 * Writes the samples PlayDTMFEx would play for the same dial and options
 * (the device aside) into `samples`, touching no device.
 * sample_count in: room in `samples`; out: the number of samples of the
 *              whole dial. With `samples` null, only the count is set.
 * Returns ZELNOR_E_BUFFER_TOO_SMALL, writing nothing, when the room is short.
 */
ZELNOR_API int ZELNOR_CALL RenderDTMF(const char* dial, const ZelnorOptions* options,
                                      int16_t* samples, uint64_t* sample_count);

/*
 * Writes the same samples as a WAV file (PCM, 16-bit mono), replacing any
 * file at `path` once the new one is whole: it is written as a temporary
 * beside it ("~zl<hex>.tmp") and swapped in with ReplaceFileW, so an
 * existing file keeps its attributes (hidden, ...) and permissions. A
 * read-only file or a folder at `path` is refused with ERROR_ACCESS_DENIED,
 * as Windows refuses it. Any path the system takes works, past MAX_PATH
 * too. A dial too long for a WAV file (4 GB) is ZELNOR_E_INVALID_ARGUMENT;
 * on ZELNOR_E_FILE any file at `path` is as it was, no temporary is left,
 * and GetLastError() gives the system's reason.
 * The A form takes the path in the ANSI code page.
 */
#if defined(_WIN32)
ZELNOR_API int ZELNOR_CALL WriteDTMFWaveW(const wchar_t* path, const char* dial,
                                          const ZelnorOptions* options);
#endif
ZELNOR_API int ZELNOR_CALL WriteDTMFWaveA(const char* path, const char* dial,
                                          const ZelnorOptions* options);

/*
 * Receives a WAV file's bytes in order, `count` at a time (header and first
 * samples together, then a few kilobytes a call); returns nonzero to go
 * on, 0 to stop the writing. For WriteDTMFWaveTo.
 */
typedef int(ZELNOR_CALL* ZelnorWriteFunction)(void* context, const void* bytes, uint32_t count);

/*
 * The WAV file WriteDTMFWaveW writes, handed to `write` as it is made
 * instead, in memory of a few blocks whatever the dial's length: for a
 * pipe, a socket or a caller's own file handle. `context` is passed to
 * `write` as it stands. A dial too long for a WAV file (4 GB) is
 * ZELNOR_E_INVALID_ARGUMENT before any call; when `write` returns 0 the
 * writing stops with ZELNOR_E_FILE, and what `write` set (GetLastError(),
 * its context) says why.
 */
ZELNOR_API int ZELNOR_CALL WriteDTMFWaveTo(const char* dial, const ZelnorOptions* options,
                                           ZelnorWriteFunction write, void* context);

/*
 * Hearing DTMF: a receiver fed samples as they come, and one-call decodes
 * of a WAV recording.
 *
 * Each digit is reported with its symbol and the sample (from 0, counted
 * per channel) where its tone began and ended.
 */

/* Sample rates a receiver takes (Hz): any from 8000 to 48000. */
#define ZELNOR_MIN_RECEIVER_RATE 8000
#define ZELNOR_MAX_RECEIVER_RATE 48000
/* Weakest tone heard, per tone, in tenths of a dB relative to 0 dBm0 (a
 * full-scale sine is +3.14 dBm0). */
#define ZELNOR_MIN_RECEIVER_LEVEL_DB10 (-600)
#define ZELNOR_MAX_RECEIVER_LEVEL_DB10 0
#define ZELNOR_DEFAULT_RECEIVER_LEVEL_DB10 (-430)
/* When a digit is reported (ZelnorReceiverOptions.reports, either or both). */
#define ZELNOR_REPORT_STARTS 1u /* as soon as a digit is heard; end_sample is 0 */
#define ZELNOR_REPORT_ENDS 2u   /* once its tone has ended (the default) */

/* Why a recording was refused (ZelnorWaveInfo.problem). */
#define ZELNOR_WAVE_FINE 0
#define ZELNOR_WAVE_TRUNCATED 1          /* data cut off early: what is there was decoded */
#define ZELNOR_WAVE_NOT_RIFF 2           /* no RIFF/WAVE header */
#define ZELNOR_WAVE_NO_FORMAT 3          /* no 'fmt ' chunk before the samples */
#define ZELNOR_WAVE_NO_DATA 4            /* no 'data' chunk */
#define ZELNOR_WAVE_UNSUPPORTED_FORMAT 5 /* value: the format tag */
#define ZELNOR_WAVE_UNSUPPORTED_BITS 6   /* value: the bits per sample */
#define ZELNOR_WAVE_NO_CHANNELS 7
#define ZELNOR_WAVE_BAD_SIZE 8          /* value: the size at fault */
#define ZELNOR_WAVE_RATE_OUT_OF_RANGE 9 /* value: the rate */
#define ZELNOR_WAVE_UNREADABLE                     \
  10 /* the recording could not be opened or read; \
      value: the system's error (GetLastError()) */

/* One digit heard. */
typedef struct ZelnorDigit {
  char symbol;           /* '0'-'9', 'A'-'D', '*', '#' */
  uint32_t channel;      /* from 0; always 0 for a receiver fed directly */
  uint64_t start_sample; /* first sample of the tone */
  uint64_t end_sample;   /* one past its last sample; 0 while it still sounds */
} ZelnorDigit;

/*
 * Called on the caller's thread, inside the Feed, Flush or Decode call that
 * heard the digit. Never call back into the library from it.
 */
typedef void(ZELNOR_CALL* ZelnorDigitFunction)(void* context, const ZelnorDigit* digit);

/*
 * How to listen; every field must be set.
 *
 * cbSize              sizeof(ZelnorReceiverOptions); any other size is refused.
 * sample_rate         ZELNOR_MIN_RECEIVER_RATE to ZELNOR_MAX_RECEIVER_RATE.
 *                     The decode calls take the recording's own and ignore it.
 * minimum_level_db10  Weakest tone heard, ZELNOR_MIN_RECEIVER_LEVEL_DB10 to
 *                     ZELNOR_MAX_RECEIVER_LEVEL_DB10.
 * reports             ZELNOR_REPORT_STARTS, ZELNOR_REPORT_ENDS or both.
 * digit               Called per report (not null).
 * digit_context       Handed to `digit` as it stands.
 */
typedef struct ZelnorReceiverOptions {
  uint32_t cbSize;
  uint32_t sample_rate;
  int32_t minimum_level_db10;
  uint32_t reports;
  ZelnorDigitFunction digit;
  void* digit_context;
} ZelnorReceiverOptions;

/* Every default, for `digit` and its context. */
#define ZELNOR_RECEIVER_OPTIONS(rate, digit, context)                                              \
  {                                                                                                \
    sizeof(ZelnorReceiverOptions), (rate), ZELNOR_DEFAULT_RECEIVER_LEVEL_DB10, ZELNOR_REPORT_ENDS, \
        (digit), (context)                                                                         \
  }

/* A receiver of one channel; made by CreateDTMFReceiver. */
typedef struct ZelnorReceiver ZelnorReceiver;

/*
 * Makes a receiver and sets *receiver to it (null on failure). One receiver
 * serves one thread at a time; receivers are independent of one another.
 */
ZELNOR_API int ZELNOR_CALL CreateDTMFReceiver(const ZelnorReceiverOptions* options,
                                              ZelnorReceiver** receiver);

/*
 * Listens to `count` more samples, calling options->digit for what they
 * complete. Chunks of any size give the same digits at the same samples.
 * The float form takes -1.0..+1.0 for full scale.
 */
ZELNOR_API int ZELNOR_CALL FeedDTMFReceiver(ZelnorReceiver* receiver, const int16_t* samples,
                                            uint64_t count);
ZELNOR_API int ZELNOR_CALL FeedDTMFReceiverFloat(ZelnorReceiver* receiver, const float* samples,
                                                 uint64_t count);

/* Ends a digit still sounding at the end of the input, as silence would. */
ZELNOR_API int ZELNOR_CALL FlushDTMFReceiver(ZelnorReceiver* receiver);

/* Frees the receiver (null is allowed and does nothing). */
ZELNOR_API int ZELNOR_CALL DestroyDTMFReceiver(ZelnorReceiver* receiver);

/*
 * What a decode found in the recording's header, and what went wrong.
 *
 * cbSize       sizeof(ZelnorWaveInfo), set by the caller.
 * problem      ZELNOR_WAVE_FINE, ZELNOR_WAVE_TRUNCATED (the call still
 *              returns ZELNOR_OK), why it returned ZELNOR_E_BAD_WAVE, or
 *              ZELNOR_WAVE_UNREADABLE with its ZELNOR_E_FILE.
 * value        The number at fault (see ZELNOR_WAVE_*), else 0.
 * format_tag   PCM 1, IEEE float 3, A-law 6, mu-law 7 (an extensible
 *              file's subformat); with channels to bits_per_sample, set
 *              once the header has been read whole.
 * frames       Samples decoded per channel.
 * message      The problem as one English sentence; empty when fine.
 */
typedef struct ZelnorWaveInfo {
  uint32_t cbSize;
  uint32_t problem;
  uint32_t value;
  uint32_t format_tag;
  uint32_t channels;
  uint32_t sample_rate;
  uint32_t bits_per_sample;
  uint64_t frames;
  char message[128];
} ZelnorWaveInfo;

/*
 * Decodes a whole WAV recording through a receiver per channel, calling
 * options->digit (with the channel) for every digit heard, then flushing.
 * It reads PCM 8/16/24/32-bit, IEEE float 32/64-bit, A-law and mu-law, plain
 * or WAVE_FORMAT_EXTENSIBLE, 1 to 1024 channels, 8000 to 48000 Hz, in
 * bounded memory whatever its length. A data size of 0xFFFFFFFF (a stream's
 * header) reads to the end.
 * info may be null. Returns ZELNOR_OK, ZELNOR_E_BAD_WAVE, or ZELNOR_E_FILE
 * when the file cannot be opened or read (GetLastError() says why, and
 * info->problem is ZELNOR_WAVE_UNREADABLE).
 * The A form takes the path in the ANSI code page.
 */
#if defined(_WIN32)
ZELNOR_API int ZELNOR_CALL DecodeDTMFWaveW(const wchar_t* path,
                                           const ZelnorReceiverOptions* options,
                                           ZelnorWaveInfo* info);
#endif
ZELNOR_API int ZELNOR_CALL DecodeDTMFWaveA(const char* path, const ZelnorReceiverOptions* options,
                                           ZelnorWaveInfo* info);

/*
 * Where DecodeDTMFWaveStream reads: fills up to `size` bytes of `buffer` and
 * returns how many, 0 at the end, or -1 when reading failed.
 */
typedef int32_t(ZELNOR_CALL* ZelnorReadFunction)(void* context, void* buffer, int32_t size);

/* DecodeDTMFWaveW over bytes from `read` (a pipe, standard input, memory);
 * a failed read is ZELNOR_E_FILE. */
ZELNOR_API int ZELNOR_CALL DecodeDTMFWaveStream(ZelnorReadFunction read, void* read_context,
                                                const ZelnorReceiverOptions* options,
                                                ZelnorWaveInfo* info);

/*
 * Masking DTMF: the tones taken out of audio, so that the keys pressed
 * during a call stay out of its recording. A masker passes the samples on
 * a fixed look-ahead late, every tone replaced from before its first
 * sample to after its last; all other samples pass bit for bit. It never
 * says which key a tone was.
 */

/* Sample rates a masker takes (Hz): any from 8000 to 48000. */
#define ZELNOR_MIN_MASKER_RATE 8000
#define ZELNOR_MAX_MASKER_RATE 48000
/* What a tone is replaced by (ZelnorMaskerOptions.replacement). */
#define ZELNOR_MASK_SILENCE 0 /* zeros */
#define ZELNOR_MASK_NOISE 1   /* comfort noise at the level of the audio around the tone */
#define ZELNOR_MASK_BEEP 2    /* one neutral tone, the same for every key */

/* Samples of one channel that were replaced. */
typedef struct ZelnorMaskedSpan {
  uint32_t channel;      /* from 0; always 0 for a masker fed directly */
  uint64_t start_sample; /* first sample replaced, counted from the first fed */
  uint64_t end_sample;   /* one past the last */
} ZelnorMaskedSpan;

/*
 * Called on the caller's thread, inside the call that writes the span's
 * last sample. Never call back into the library from it.
 */
typedef void(ZELNOR_CALL* ZelnorSpanFunction)(void* context, const ZelnorMaskedSpan* span);

/*
 * How to mask; every field must be set.
 *
 * cbSize        sizeof(ZelnorMaskerOptions); any other size is refused.
 * sample_rate   ZELNOR_MIN_MASKER_RATE to ZELNOR_MAX_MASKER_RATE. The WAV
 *               calls take the recording's own and ignore it.
 * replacement   ZELNOR_MASK_SILENCE, ZELNOR_MASK_NOISE or ZELNOR_MASK_BEEP.
 * span          Called once per span replaced; may be null.
 * span_context  Handed to `span` as it stands.
 */
typedef struct ZelnorMaskerOptions {
  uint32_t cbSize;
  uint32_t sample_rate;
  uint32_t replacement;
  ZelnorSpanFunction span;
  void* span_context;
} ZelnorMaskerOptions;

/* Every default: silence, no span callback. */
#define ZELNOR_MASKER_OPTIONS(rate) \
  { sizeof(ZelnorMaskerOptions), (rate), ZELNOR_MASK_SILENCE, 0, 0 }

/* A masker of one channel; made by CreateDTMFMasker. */
typedef struct ZelnorMasker ZelnorMasker;

/*
 * Makes a masker and sets *masker to it (null on failure). One masker
 * serves one thread at a time; maskers are independent of one another.
 */
ZELNOR_API int ZELNOR_CALL CreateDTMFMasker(const ZelnorMaskerOptions* options,
                                            ZelnorMasker** masker);

/*
 * Sets *samples to the look-ahead: how many samples late the masked ones
 * come out (40 ms of the masker's rate; never more than 50 ms).
 */
ZELNOR_API int ZELNOR_CALL GetDTMFMaskerDelay(const ZelnorMasker* masker, uint32_t* samples);

/*
 * Takes `count` more samples and writes `count` masked ones to `masked`:
 * the input the look-ahead late (the first are the silence before the
 * stream). `masked` may be `samples` itself. Chunks of any size give the
 * same output. The float form takes -1.0..+1.0 for full scale and passes
 * every other sample's bits as they came.
 */
ZELNOR_API int ZELNOR_CALL FeedDTMFMasker(ZelnorMasker* masker, const int16_t* samples,
                                          uint64_t count, int16_t* masked);
ZELNOR_API int ZELNOR_CALL FeedDTMFMaskerFloat(ZelnorMasker* masker, const float* samples,
                                               uint64_t count, float* masked);

/*
 * Writes the last look-ahead's worth of masked samples (GetDTMFMaskerDelay
 * of them) to `masked` and ends the stream; the masker then starts anew.
 */
ZELNOR_API int ZELNOR_CALL FlushDTMFMasker(ZelnorMasker* masker, int16_t* masked);
ZELNOR_API int ZELNOR_CALL FlushDTMFMaskerFloat(ZelnorMasker* masker, float* masked);

/* Frees the masker (null is allowed and does nothing). */
ZELNOR_API int ZELNOR_CALL DestroyDTMFMasker(ZelnorMasker* masker);

/*
 * Writes `target` as the WAV recording `source` with every tone of each
 * channel masked: the same format, the same number of frames, every other
 * chunk copied byte for byte in its place, so a recording with no tone
 * comes back unchanged. Reads every form DecodeDTMFWaveW reads, in bounded
 * memory. The target is written as WriteDTMFWaveW writes (a temporary,
 * then the swap; nothing left on failure), so `target` may name `source`:
 * it is replaced only once the masked copy is whole. A cut-off recording
 * is masked as far as it goes (info->problem ZELNOR_WAVE_TRUNCATED).
 * options->span is called with the channel. info may be null.
 * Returns ZELNOR_OK; ZELNOR_E_BAD_WAVE for a recording it refuses; or
 * ZELNOR_E_FILE, with GetLastError() saying why, when the source cannot be
 * read (info->problem ZELNOR_WAVE_UNREADABLE) or the target cannot be
 * written. The A forms take the paths in the ANSI code page.
 */
#if defined(_WIN32)
ZELNOR_API int ZELNOR_CALL MaskDTMFWaveW(const wchar_t* source, const wchar_t* target,
                                         const ZelnorMaskerOptions* options, ZelnorWaveInfo* info);
#endif
ZELNOR_API int ZELNOR_CALL MaskDTMFWaveA(const char* source, const char* target,
                                         const ZelnorMaskerOptions* options, ZelnorWaveInfo* info);

/*
 * MaskDTMFWaveW from `read` to `write` (pipes, sockets, memory), in memory
 * of a few blocks whatever the length: a failed read is ZELNOR_E_FILE with
 * info->problem ZELNOR_WAVE_UNREADABLE, and `write` returning 0 stops the
 * writing with ZELNOR_E_FILE.
 */
ZELNOR_API int ZELNOR_CALL MaskDTMFWaveStream(ZelnorReadFunction read, void* read_context,
                                              ZelnorWriteFunction write, void* write_context,
                                              const ZelnorMaskerOptions* options,
                                              ZelnorWaveInfo* info);

/* For callers that load the DLL and look PlayDTMF up by name. */
typedef int(ZELNOR_CALL* ZelnorPlayDtmfFunction)(const char* dial, int32_t interval_ms,
                                                 int32_t async);

#ifdef __cplusplus
}
#endif

#endif /* ZELNOR_ZELNOR_H */
