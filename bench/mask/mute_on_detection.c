/* "Mute on detection", as a telephony server masks DTMF: SpanDSP's dtmf_rx
 * hears raw 16-bit mono 8 kHz samples from standard input and every sample
 * from the one at which it reports a tone until the one at which it
 * reports it gone is written to standard output as silence; the rest is
 * passed on unchanged, with no delay. Fed one sample at a time, so the mute
 * starts and ends on the very sample the receiver reports.
 * Usage: mute_on_detection < samples > muted */

#include <stdint.h>
#include <stdio.h>

#include <spandsp.h>

static void Report(void* user_data, int code, int level, int delay) {
  (void)level;
  (void)delay;
  *(int*)user_data = code != 0;
}

int main(int argc, char** argv) {
  (void)argv;
  if (argc != 1) {
    fprintf(stderr, "usage: mute_on_detection < samples > muted\n");
    return 2;
  }
  int muted = 0;
  dtmf_rx_state_t* receiver = dtmf_rx_init(NULL, NULL, NULL);
  if (receiver == NULL) return 2;
  dtmf_rx_set_realtime_callback(receiver, Report, &muted);
  int16_t sample;
  while (fread(&sample, sizeof sample, 1, stdin) == 1) {
    dtmf_rx(receiver, &sample, 1);
    const int16_t out = muted ? 0 : sample;
    fwrite(&out, sizeof out, 1, stdout);
  }
  dtmf_rx_free(receiver);
  return ferror(stdout) ? 1 : 0;
}
