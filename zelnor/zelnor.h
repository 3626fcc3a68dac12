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
 */

#include <stdint.h>

#define ZELNOR_OK 0
#define ZELNOR_E_INVALID_ARGUMENT 1 /* dial is a null pointer */
#define ZELNOR_E_NO_DEVICE 2        /* no audio output device */
#define ZELNOR_E_DEVICE 3           /* the device failed to open, to play, or stalled */
#define ZELNOR_E_OUT_OF_MEMORY 4
#define ZELNOR_E_SYSTEM 5 /* a thread or an event could not be created */

#define ZELNOR_MIN_INTERVAL_MS 40
#define ZELNOR_MAX_INTERVAL_MS 10000

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define ZELNOR_CALL __stdcall
#else
#define ZELNOR_CALL
#endif

int ZELNOR_CALL PlayDTMF(const char* dial, int32_t interval_ms, int32_t async);

/* For callers that load the DLL and look PlayDTMF up by name. */
typedef int(ZELNOR_CALL* ZelnorPlayDtmfFunction)(const char* dial, int32_t interval_ms,
                                                 int32_t async);

#ifdef __cplusplus
}
#endif

#endif /* ZELNOR_ZELNOR_H */
