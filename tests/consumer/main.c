/* Links PlayDTMF, the receiver and the masker through the import library; a string
 * without symbols only stops any playback, so this needs no audio device. */
#include <stdio.h>
#include <zelnor.h>

static void ZELNOR_CALL Count(void* context, const ZelnorDigit* digit) {
  (void)digit;
  ++*(int*)context;
}

int main(void) {
  const int result = PlayDTMF("", 0, 0);
  int digits = 0;
  ZelnorReceiverOptions options = ZELNOR_RECEIVER_OPTIONS(8000, Count, &digits);
  ZelnorReceiver* receiver = NULL;
  int16_t silence[160] = {0};
  int heard = CreateDTMFReceiver(&options, &receiver);
  if (heard == ZELNOR_OK) heard = FeedDTMFReceiver(receiver, silence, 160);
  DestroyDTMFReceiver(receiver);
  ZelnorMaskerOptions masking = ZELNOR_MASKER_OPTIONS(8000);
  ZelnorMasker* masker = NULL;
  int masked = CreateDTMFMasker(&masking, &masker);
  if (masked == ZELNOR_OK) masked = FeedDTMFMasker(masker, silence, 160, silence);
  DestroyDTMFMasker(masker);
  printf("PlayDTMF(\"\", 0, 0) = %d, receiver = %d, digits in silence = %d, masker = %d\n", result,
         heard, digits, masked);
  return result == ZELNOR_OK && heard == ZELNOR_OK && digits == 0 && masked == ZELNOR_OK ? 0 : 1;
}
