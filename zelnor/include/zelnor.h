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
 *             932: ０-９, Ａ-Ｄ, ａ-ｄ, ＊, ＃). Every other character, single- or
 *             double-byte, is skipped with no tone and no pause; the trail
 *             byte of a double-byte character is never read as a symbol.
 * interval_ms Length of each tone and of the silence after it. Values below
 *             40 (0 and negatives included) play as 40, above 10000 as 10000.
 * async       0: return once the last sample has been played, or with
 *             ZELNOR_E_DEVICE at most 3 s past the tones' length if the
 *             device stops taking samples.
 *             otherwise: copy the symbols and return at once, never waiting
 *             for the device.
 *
 * A call stops any playback still going on (from any thread) before it
 * starts; a string with no symbols only stops it. A null pointer changes
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
#define ZELNOR_E_INVALID_ARGUMENT 1 /* dial is a null pointer */
#define ZELNOR_E_NO_DEVICE 2        /* no audio output device */
#define ZELNOR_E_DEVICE 3           /* the device failed to open, to play, or stalled */
#define ZELNOR_E_OUT_OF_MEMORY 4
#define ZELNOR_E_SYSTEM 5           /* a thread or an event could not be created */
#define ZELNOR_E_BUFFER_TOO_SMALL 6 /* RenderDTMF: *sample_count now holds the size needed */
#define ZELNOR_E_FILE 7             /* the WAV file could not be written; GetLastError() says why */

#define ZELNOR_MIN_INTERVAL_MS 40
#define ZELNOR_MAX_INTERVAL_MS 10000

#define ZELNOR_MIN_LEVEL_DB10 (-600) /* -60 dBFS */
#define ZELNOR_MAX_LEVEL_DB10 0
#define ZELNOR_DEFAULT_LEVEL_DB10 (-15) /* PlayDTMF's level: -1.5 dBFS */
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

/*
 * What to play and how; every field must be set.
 *
 * cbSize       sizeof(ZelnorOptions); anything else is refused, so a newer
 *              caller's larger struct is never half read.
 * tone_ms      Length of each tone, 40 to 10000.
 * gap_ms       Silence after each tone, 40 to 10000.
 * sample_rate  8000, 16000, 44100 or 48000 (Hz). The tones are 16-bit mono
 *              PCM at this rate.
 * level_db10   Peak level of both tones together in tenths of a dB relative
 *              to full scale, -600 to 0; -15 is -1.5 dBFS. The high-group
 *              tone stays 2 dB above the low-group one.
 * device       A waveOut device id (0 to waveOutGetNumDevs() - 1), or
 *              ZELNOR_DEFAULT_DEVICE. Only playing uses it; an id with no
 *              device behind it gives ZELNOR_E_NO_DEVICE.
 *
 * For the calls below, a field out of range or a null pointer (other than
 * RenderDTMF's samples) gives ZELNOR_E_INVALID_ARGUMENT and nothing happens:
 * unlike PlayDTMF's interval, nothing is clamped. The struct has the same
 * layout for 32- and 64-bit callers.
 */
typedef struct ZelnorOptions {
  uint32_t cbSize;
  int32_t tone_ms;
  int32_t gap_ms;
  uint32_t sample_rate;
  int32_t level_db10;
  uint32_t device;
} ZelnorOptions;

/* PlayDTMF's settings for an interval already within 40..10000. */
#define ZELNOR_OPTIONS_FOR_INTERVAL(interval_ms)                                     \
  {                                                                                  \
    sizeof(ZelnorOptions), (interval_ms), (interval_ms), ZELNOR_DEFAULT_SAMPLE_RATE, \
        ZELNOR_DEFAULT_LEVEL_DB10, ZELNOR_DEFAULT_DEVICE                             \
  }

int ZELNOR_CALL PlayDTMF(const char* dial, int32_t interval_ms, int32_t async);

/* PlayDTMF with options: dial and async as for PlayDTMF. */
int ZELNOR_CALL PlayDTMFEx(const char* dial, const ZelnorOptions* options, int32_t async);

/*
 * Writes the samples PlayDTMFEx would play for the same dial and options
 * (the device aside) into `samples`, touching no device.
 * sample_count in: room in `samples`; out: the number of samples of the
 *              whole dial. With `samples` null, only the count is set.
 * Returns ZELNOR_E_BUFFER_TOO_SMALL, writing nothing, when the room is short.
 */
int ZELNOR_CALL RenderDTMF(const char* dial, const ZelnorOptions* options, int16_t* samples,
                           uint64_t* sample_count);

/*
 * Writes the same samples as a WAV file (PCM, 16-bit mono), replacing any
 * file at `path`. A dial too long for a WAV file (4 GB) is
 * ZELNOR_E_INVALID_ARGUMENT; on ZELNOR_E_FILE no partial file is left.
 * The A form takes the path in the ANSI code page.
 */
int ZELNOR_CALL WriteDTMFWaveW(const wchar_t* path, const char* dial, const ZelnorOptions* options);
int ZELNOR_CALL WriteDTMFWaveA(const char* path, const char* dial, const ZelnorOptions* options);

/* For callers that load the DLL and look PlayDTMF up by name. */
typedef int(ZELNOR_CALL* ZelnorPlayDtmfFunction)(const char* dial, int32_t interval_ms,
                                                 int32_t async);

#ifdef __cplusplus
}
#endif

#endif /* ZELNOR_ZELNOR_H */
